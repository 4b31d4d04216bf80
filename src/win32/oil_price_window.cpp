// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: one child window per visible control, kept in step with the window model.
#include "win32/oil_price_window.h"

#include <commctrl.h>

#include <climits>
#include <stdexcept>
#include <string>

#include "look/units.h"
#include "run/run_sequence.h"
#include "win32/dpi.h"
#include "win32/wide.h"

namespace brevane::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"BrevaneWindow";
// A title, a system menu and a close button; a fixed size, no minimise or maximise.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
constexpr UINT_PTR kStartTimerId = 1;
// Sent on Windows 10 version 1703 and later, with per-monitor v2, before WM_DPICHANGED.
constexpr UINT kGetDpiScaledSize = 0x02E4;
// The program's icon in its resources.
constexpr int kIconId = 1;

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW existing{sizeof(existing)};
    if (GetClassInfoExW(instance, kWindowClass, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
}

SIZE WindowSizeAt(int dpi) {
    const look::Size client = look::ClientSize(dpi);
    return WindowSizeForClient(client.width, client.height, kStyle, kExStyle, dpi);
}

void RedrawAll(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

OilPriceWindow::OilPriceWindow(RunContext& run) : m_run(run) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, &OilPriceWindow::Proc);
    RegisterControlClasses(instance);
    const std::wstring caption = ToWide(m_run.window.windowCaption());
    CreateWindowExW(kExStyle, kWindowClass, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (m_window == nullptr) {
        throw std::runtime_error("the system refused to create the window");
    }
    m_fonts = std::make_unique<ControlFonts>(WindowDpi(m_window));
    m_toolTips =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, instance, nullptr);
    // Lines break only where the tooltip's text does.
    SendMessageW(m_toolTips, TTM_SETMAXTIPWIDTH, 0, SHRT_MAX);
    build();
    setClientSize(nullptr);
    m_run.window.setObserver([this](const Change& change) { apply(change); });
}

OilPriceWindow::~OilPriceWindow() {
    if (!m_closed) {
        m_run.window.setObserver(nullptr);
    }
    runEnded = nullptr;
    closed = nullptr;
    destroyed = nullptr;
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

void OilPriceWindow::build() {
    const WindowModel& model = m_run.window;
    for (const ControlSpec& spec : AllControls()) {
        if (spec.kind == ControlKind::Timer || spec.kind == ControlKind::Browser) {
            continue;  // the pages live in the page port; the timer is the window's
        }
        ControlState& state = m_states[static_cast<std::size_t>(spec.id)];
        state.spec = &spec;
        state.fonts = m_fonts.get();
        // A container comes before what it holds, so its window exists already.
        const HWND container = spec.container ? control(*spec.container) : m_window;
        if (container == nullptr) {
            continue;
        }
        m_controls[static_cast<std::size_t>(spec.id)] =
            CreateControlWindow(state, container, model.visible(spec.id), model.caption(spec.id));
        if (spec.kind == ControlKind::Label) {
            setToolTip(spec.id);
        }
    }
    followTimer();
}

void OilPriceWindow::show() {
    RECT frame{};
    GetWindowRect(m_window, &frame);
    MONITORINFO monitor{sizeof(monitor)};
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(m_window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_window, SW_SHOW);
    UpdateWindow(m_window);
}

void OilPriceWindow::apply(const Change& change) {
    const WindowModel& model = m_run.window;
    const HWND window = control(change.control);
    switch (change.kind) {
        case ChangeKind::Caption:
            if (window != nullptr && SpecOf(change.control).kind == ControlKind::Label) {
                SetWindowTextW(window, ToWide(model.caption(change.control)).c_str());
            }
            break;
        case ChangeKind::Visible:
            if (window != nullptr) {
                ShowWindow(window, model.visible(change.control) ? SW_SHOWNA : SW_HIDE);
            }
            break;
        case ChangeKind::ToolTip:
            if (window != nullptr && SpecOf(change.control).kind == ControlKind::Label) {
                setToolTip(change.control);
            }
            break;
        case ChangeKind::WindowCaption:
            SetWindowTextW(m_window, ToWide(model.windowCaption()).c_str());
            break;
        case ChangeKind::TimerEnabled:
            followTimer();
            break;
    }
}

void OilPriceWindow::setToolTip(Control id) {
    const HWND label = control(id);
    bool& hasTool = m_hasTool[static_cast<std::size_t>(id)];
    if (m_toolTips == nullptr || label == nullptr) {
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    // The tooltip watches the label's own mouse messages, so it shows over the label's
    // whole rectangle, also where the label draws nothing.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    std::wstring text = ToWide(m_run.window.toolTip(id));
    if (text.empty()) {
        if (hasTool) {
            SendMessageW(m_toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            hasTool = false;
        }
        return;
    }
    tool.lpszText = text.data();
    SendMessageW(m_toolTips, hasTool ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
    hasTool = true;
}

void OilPriceWindow::followTimer() {
    if (m_run.window.timerEnabled() && !m_closed) {
        m_timerActive = SetTimer(m_window, kStartTimerId, kStartTimerIntervalMs, nullptr) != 0;
    } else {
        KillTimer(m_window, kStartTimerId);
        m_timerActive = false;
    }
}

void OilPriceWindow::onTimer() {
    KillTimer(m_window, kStartTimerId);
    m_timerActive = false;
    if (m_inRun || m_closed) {
        return;
    }
    m_inRun = true;
    Tim_UpData_Timer(m_run);
    m_inRun = false;
    if (runEnded) {
        runEnded();
    }
    if (m_closed && m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

void OilPriceWindow::onClose() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    m_run.window.setObserver(nullptr);
    KillTimer(m_window, kStartTimerId);
    m_timerActive = false;
    ShowWindow(m_window, SW_HIDE);
    if (closed) {
        closed();
    }
    // A run under way unwinds first; onTimer destroys the window once it has.
    if (!m_inRun && m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

void OilPriceWindow::onCommand(WPARAM wParam) {
    const int index = LOWORD(wParam) - kControlIdBase;
    if (HIWORD(wParam) != kLinkClicked || m_closed || index < 0 || index >= kControlCount) {
        return;
    }
    const ControlSpec& spec = AllControls()[static_cast<std::size_t>(index)];
    if (spec.link) {
        LinkClicked(m_run, spec.id);
    }
}

void OilPriceWindow::onDpiChanged(int dpi, const RECT* suggested) {
    if (dpi <= 0 || dpi == m_fonts->dpi()) {
        setClientSize(suggested);
        return;
    }
    // The children move to the new fonts before the old ones go.
    auto fonts = std::make_unique<ControlFonts>(dpi);
    for (ControlState& state : m_states) {
        state.fonts = fonts.get();
    }
    m_fonts = std::move(fonts);
    for (const HWND window : m_controls) {
        if (window != nullptr) {
            PlaceControl(window);
        }
    }
    setClientSize(suggested);
    RedrawAll(m_window);
}

void OilPriceWindow::setClientSize(const RECT* at) {
    const int dpi = m_fonts->dpi();
    SIZE size = WindowSizeAt(dpi);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at != nullptr ? 0 : SWP_NOMOVE);
    const int left = at != nullptr ? at->left : 0;
    const int top = at != nullptr ? at->top : 0;
    SetWindowPos(m_window, nullptr, left, top, size.cx, size.cy, flags);
    // A system that draws the caption and borders at another DPI than the window's (per-
    // monitor v1 without their scaling) makes them another size than asked for: the
    // client area is what must come out right.
    const look::Size client = look::ClientSize(dpi);
    RECT actual{};
    GetClientRect(m_window, &actual);
    if (actual.right != client.width || actual.bottom != client.height) {
        size.cx += client.width - actual.right;
        size.cy += client.height - actual.bottom;
        SetWindowPos(m_window, nullptr, left, top, size.cx, size.cy, flags);
    }
}

LRESULT OilPriceWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = m_window;
    switch (message) {
        case WM_TIMER:
            if (wParam == kStartTimerId) {
                onTimer();
                return 0;
            }
            break;
        case WM_COMMAND:
            onCommand(wParam);
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                onClose();
            }
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case kGetDpiScaledSize: {
            // The size at the new DPI is the client area's in twips, not a scaled copy of
            // the old one.
            *reinterpret_cast<SIZE*>(lParam) = WindowSizeAt(static_cast<int>(wParam));
            return TRUE;
        }
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            RedrawAll(m_window);  // the labels' ink follows the dialog colour
            break;
        case WM_DESTROY:
            if (destroyed) {
                destroyed();
            }
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
            m_window = nullptr;
            m_toolTips = nullptr;
            m_controls.fill(nullptr);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK OilPriceWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<OilPriceWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
        ScaleNonClientArea(window);
    }
    auto* self = reinterpret_cast<OilPriceWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross the system's code that called in.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace brevane::win32
