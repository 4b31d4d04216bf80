// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The frame, label and line windows.
#include "win32/control_windows.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "look/colour.h"
#include "look/label_layout.h"
#include "win32/handles.h"
#include "win32/wide.h"

namespace brevane::win32 {
namespace {

ControlState* StateOf(HWND window) {
    return reinterpret_cast<ControlState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

COLORREF ToColorRef(look::Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

look::Rgb FromColorRef(COLORREF colour) {
    return look::Rgb{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

look::Rect ClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return look::Rect{0, 0, client.right, client.bottom};
}

/// The dialog colour beneath every control, the system's (dark and high-contrast schemes
/// included).
void FillBackground(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

/// The label's caption in its font and ink, line by line on its pitch (look/label_layout.h).
void PaintLabel(HWND window, const ControlState& state, HDC dc) {
    const ControlSpec& spec = *state.spec;
    if (!spec.transparent) {
        FillBackground(window, dc);
    }
    const std::u16string caption = WindowText(window);
    if (caption.empty() || state.fonts == nullptr) {
        return;
    }
    const GdiFont& font = (*state.fonts)[spec.font];
    const look::Advance advance = state.fonts->advanceIn(spec.font);
    const look::Rect box = ClientRect(window);
    const int pitch = look::LinePitch(spec.font, state.fonts->dpi(), font.height);
    const std::vector<look::PlacedLine> placed =
        look::PlaceLines(look::LabelLines(caption, spec.autoSize, box.width, advance),
                         look::Size{box.width, box.height}, pitch, spec.rightAligned, font.height,
                         font.ascent, advance);

    const std::optional<look::Rgb> fixed =
        spec.colour ? std::optional(look::Rgb::FromHex(*spec.colour)) : std::nullopt;
    const int systemColour = spec.link && spec.colour ? COLOR_HOTLIGHT : COLOR_BTNTEXT;
    const look::Rgb ink = look::LabelInk(fixed, FromColorRef(GetSysColor(systemColour)),
                                         FromColorRef(GetSysColor(COLOR_BTNFACE)));

    const Selected selected(dc, font.handle.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    SetTextColor(dc, ToColorRef(ink));
    for (const look::PlacedLine& line : placed) {
        const std::wstring text = ToWide(line.text);
        ExtTextOutW(dc, static_cast<int>(std::lround(line.x)), line.baseline, 0, nullptr,
                    text.c_str(), static_cast<UINT>(std::min<std::size_t>(text.size(), INT_MAX)),
                    nullptr);
    }
}

void PaintFrame(HWND window, const ControlState& state, HDC dc) {
    FillBackground(window, dc);
    if (state.spec->bordered) {
        RECT client{};
        GetClientRect(window, &client);
        DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
    }
}

void PaintLine(HWND window, const ControlState& state, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    SetDCBrushColor(dc, ToColorRef(look::Rgb::FromHex(state.spec->colour.value_or(0))));
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Paint(HWND window, const ControlState& state, HDC dc) {
    switch (state.spec->kind) {
        case ControlKind::Label:
            PaintLabel(window, state, dc);
            break;
        case ControlKind::Frame:
            PaintFrame(window, state, dc);
            break;
        case ControlKind::Line:
            PaintLine(window, state, dc);
            break;
        case ControlKind::Timer:
        case ControlKind::Browser:
            break;
    }
}

/// A link label's click: a press and a release of the left button, both on it.
LRESULT OnLinkButton(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        SetCapture(window);
        return 0;
    }
    if (GetCapture() != window) {
        return 0;
    }
    ReleaseCapture();
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client{};
    GetClientRect(window, &client);
    if (PtInRect(&client, at)) {
        const int id = GetDlgCtrlID(window);
        SendMessageW(GetAncestor(window, GA_ROOT), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(id), kLinkClicked),
                     reinterpret_cast<LPARAM>(window));
    }
    return 0;
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const ControlState* state = StateOf(window);
    if (state == nullptr || state->spec == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const ControlSpec& spec = *state->spec;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // painted with the rest, in WM_PAINT
        case WM_PAINT: {
            const PaintScope paint(window);
            Paint(window, *state, paint.dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(window, *state, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETTEXT: {
            const LRESULT set = DefWindowProcW(window, message, wParam, lParam);
            if (spec.autoSize) {
                PlaceControl(window);
            }
            if (spec.transparent) {
                // What shows through it is drawn by the windows beneath.
                RECT area{};
                GetWindowRect(window, &area);
                const HWND parent = GetParent(window);
                MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
                RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            } else {
                InvalidateRect(window, nullptr, TRUE);
            }
            return set;
        }
        case WM_NCHITTEST:
            // A line is drawn, not touched: the pointer and tooltips reach what lies beneath.
            if (spec.kind == ControlKind::Line) {
                return HTTRANSPARENT;
            }
            break;
        case WM_SETCURSOR:
            if (spec.link) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            if (spec.link) {
                return OnLinkButton(window, message, lParam);
            }
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Frame:
            return kFrameClass;
        case ControlKind::Line:
            return kLineClass;
        case ControlKind::Label:
        case ControlKind::Timer:
        case ControlKind::Browser:
            break;
    }
    return kLabelClass;
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kFrameClass, kLabelClass, kLineClass}) {
        WNDCLASSEXW existing{sizeof(existing)};
        if (GetClassInfoExW(instance, name, &existing)) {
            continue;
        }
        WNDCLASSEXW windowClass{sizeof(windowClass)};
        windowClass.lpfnWndProc = ControlProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = name;
        RegisterClassExW(&windowClass);
    }
}

HWND CreateControlWindow(ControlState& state, HWND parent, bool visible,
                         std::u16string_view caption) {
    const ControlSpec& spec = *state.spec;
    // Every child clips its siblings, so each paints only where it is on top; frames
    // clip their children too. A label that draws only its text lets the siblings
    // beneath it paint first and show through.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    if (spec.kind == ControlKind::Frame) {
        style |= WS_CLIPCHILDREN;
    }
    const DWORD exStyle =
        spec.kind == ControlKind::Label && spec.transparent ? WS_EX_TRANSPARENT : 0;
    const std::wstring text = ToWide(caption);
    // The rectangle is set by PlaceControl, once the text is in.
    HWND window = CreateWindowExW(
        exStyle, ClassOf(spec.kind), text.c_str(), style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(spec.id))),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), &state);
    if (window != nullptr) {
        // The inventory lists each container's controls topmost first: each goes
        // beneath the siblings made before it.
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PlaceControl(window);
    }
    return window;
}

void PlaceControl(HWND window) {
    const ControlState* state = StateOf(window);
    if (state == nullptr || state->spec == nullptr || state->fonts == nullptr) {
        return;
    }
    const ControlSpec& spec = *state->spec;
    const int dpi = state->fonts->dpi();
    look::Rect rect = look::ControlRect(spec, dpi);
    if (spec.kind == ControlKind::Label && spec.autoSize) {
        const look::Advance advance = state->fonts->advanceIn(spec.font);
        const int pitch = look::LinePitch(spec.font, dpi, (*state->fonts)[spec.font].height);
        rect = look::AutoSizedRect(rect, look::LabelLines(WindowText(window), true, 0, advance),
                                   pitch, spec.rightAligned, advance);
    }
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brevane::win32
