// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows window in the test's own process: its child windows, their rectangles at
// 96 dpi and after a change of DPI, following the model, colours on light and dark
// schemes, closing during a run, and the nested wait.
#include "win32/oil_price_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "look/colour.h"
#include "run/run_sequence.h"
#include "screenshot.h"
#include "support/control_rects.h"
#include "support/fake_ports.h"
#include "support/version_caption.h"
#include "win32/message_wait.h"
#include "win32/wide.h"

namespace brevane::win32 {
namespace {

using namespace brevane::testing;
using enum Control;

/// A control's rectangle in its container's client area.
RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ClassOf(HWND window) {
    std::array<wchar_t, 64> name{};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::string(name.begin(), name.begin() + std::max(length, 0));
}

/// Runs the thread's messages for `milliseconds`, or until `done` holds.
void Pump(
    int milliseconds, const std::function<bool()>& done = [] { return false; }) {
    MessageWait().until(done, MessageWait::Clock::now() + std::chrono::milliseconds(milliseconds));
}

void SaveScreenshot(HWND window, const char* name) {
    CreateDirectoryA(BREVANE_SCREENSHOT_DIR, nullptr);
    SavePng(Capture(window, false), std::string(BREVANE_SCREENSHOT_DIR "/") + name);
}

class Win32WindowTest : public ::testing::Test {
protected:
    Win32WindowTest() {
        window = std::make_unique<OilPriceWindow>(p.run);
        window->runEnded = [this] { ++runsEnded; };
    }

    HWND control(Control id) const { return window->control(id); }

    /// Shows the window in the screen's top-left corner, away from the pointer, which
    /// rests in the middle of the virtual screen: no tooltip shows by chance.
    void Show() const {
        window->show();
        SetWindowPos(window->hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    /// Every rectangle of the table, at `dpi`.
    void ExpectTableAt(int dpi) const {
        for (const ExpectedRect& row : kControlRects) {
            const RECT r = RectInParent(control(row.id));
            EXPECT_EQ(RectMismatch(row, dpi, r.left, r.top, r.right - r.left, r.bottom - r.top),
                      "");
        }
    }

    SIZE ClientSize() const {
        RECT client{};
        GetClientRect(window->hwnd(), &client);
        return SIZE{client.right, client.bottom};
    }

    FakeProgram p;
    std::unique_ptr<OilPriceWindow> window;
    int runsEnded = 0;
};

TEST_F(Win32WindowTest, EveryVisibleControlIsAChildWindowInItsContainerInStackingOrder) {
    ASSERT_EQ(window->dpi(), 96) << "the test prefix runs at 96 dpi";
    EXPECT_EQ(ClientSize().cx, 321);
    EXPECT_EQ(ClientSize().cy, 241);
    const LONG_PTR style = GetWindowLongPtrW(window->hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);

    std::map<HWND, std::vector<std::string>> expectedOrder;  // topmost first
    for (const ControlSpec& spec : AllControls()) {
        SCOPED_TRACE(std::string(spec.name));
        const HWND w = control(spec.id);
        if (spec.kind == ControlKind::Timer || spec.kind == ControlKind::Browser) {
            EXPECT_EQ(w, nullptr);
            continue;
        }
        ASSERT_NE(w, nullptr);
        const HWND container = spec.container ? control(*spec.container) : window->hwnd();
        EXPECT_EQ(GetParent(w), container);
        EXPECT_EQ(GetDlgCtrlID(w), 1000 + static_cast<int>(spec.id));
        EXPECT_EQ(ClassOf(w), spec.kind == ControlKind::Frame  ? "BrevaneFrame"
                              : spec.kind == ControlKind::Line ? "BrevaneLine"
                                                               : "BrevaneLabel");
        const LONG_PTR childStyle = GetWindowLongPtrW(w, GWL_STYLE);
        EXPECT_NE(childStyle & WS_CLIPSIBLINGS, 0);
        EXPECT_EQ((childStyle & WS_VISIBLE) != 0, spec.visible);
        EXPECT_EQ((GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0, spec.transparent);
        if (spec.kind == ControlKind::Label) {
            EXPECT_EQ(WindowText(w), p.window.caption(spec.id));
        }
        expectedOrder[container].emplace_back(spec.name);
    }
    for (const auto& [container, names] : expectedOrder) {
        std::vector<std::string> stacked;
        for (HWND child = GetWindow(container, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            stacked.emplace_back(SpecOf(static_cast<Control>(GetDlgCtrlID(child) - 1000)).name);
        }
        EXPECT_EQ(stacked, names);
    }
    ExpectTableAt(96);
}

TEST_F(Win32WindowTest, AChangeOfDpiRescalesEveryControlAndTheClientArea) {
    const RECT suggested{100, 80, 600, 500};
    SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window->dpi(), 144);
    EXPECT_EQ(ClientSize().cx, 482);
    EXPECT_EQ(ClientSize().cy, 362);
    RECT frame{};
    GetWindowRect(window->hwnd(), &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 80);
    ExpectTableAt(144);
    Show();
    SaveScreenshot(window->hwnd(), "dpi_144.png");

    // Back again, every rectangle is the table's, exactly.
    SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ClientSize().cx, 321);
    ExpectTableAt(96);
}

TEST_F(Win32WindowTest, FollowsEveryChangeOfTheModel) {
    Form_Load(p.run);
    EXPECT_EQ(WindowText(window->hwnd()), kVersionCaption + u" [正在获取您的所在地...]");
    EXPECT_EQ(WindowText(control(Lab_YouJia)), u"油价信息加载中，请稍等...");
    EXPECT_TRUE(window->timerActive());

    p.window.setVisible(Label1, true);
    p.window.setVisible(Lab_QiYouJiaGe, false);
    EXPECT_TRUE(GetWindowLongPtrW(control(Label1), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrW(control(Lab_QiYouJiaGe), GWL_STYLE) & WS_VISIBLE);

    // A tooltip is the tool of its label, or none once it is empty.
    const auto toolTip = [&](Control id) {
        std::array<wchar_t, 256> text{};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window->hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(control(id));
        tool.lpszText = text.data();
        SendMessageW(window->toolTips(), TTM_GETTEXTW, text.size(),
                     reinterpret_cast<LPARAM>(&tool));
        return FromWide(text.data());
    };
    EXPECT_EQ(toolTip(Lab_DanJia_1), u"单价(I)");
    p.window.setToolTip(Lab_DanJia_1, u"广东当前油价\r\n& more");
    EXPECT_EQ(toolTip(Lab_DanJia_1), u"广东当前油价\r\n& more");
    p.window.setToolTip(Lab_DanJia_1, u"");
    EXPECT_EQ(toolTip(Lab_DanJia_1), u"");

    // Auto-size: NetError grows to three lines of the pitch; the right-aligned date keeps
    // its right edge at 3000 + 1710 twips whatever its length.
    p.window.setCaption(NetError,
                        u"错误提示：\r\n数据获取失败，请检查网络！ Error：1802\r\n如错误已排除");
    RECT netError = RectInParent(control(NetError));
    EXPECT_EQ(netError.left, 16);
    EXPECT_EQ(netError.bottom - netError.top, 60);
    for (const std::u16string_view date :
         {u"[26/1/7] 星期三", u"[Wednesday, 7 January 2026] 星期三"}) {
        p.window.setCaption(Label_Time, date);
        const RECT time = RectInParent(control(Label_Time));
        EXPECT_EQ(time.right, 314);
        EXPECT_EQ(time.top, 224);
    }

    // A click on the sponsor word opens the sponsor page.
    SendMessageW(control(Lab_ZanZhu), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(control(Lab_ZanZhu), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(p.shell.opened, std::vector<std::u16string>{TestAddresses().sponsor});

    // A title is shown as written.
    p.window.setWindowCaption(u"a [*] & b");
    EXPECT_EQ(WindowText(window->hwnd()), u"a [*] & b");
}

/// The colour in `area` of `pixels` that stands out most from `background`: a label's ink.
look::Rgb StrongestInk(const Pixels& pixels, const RECT& area, look::Rgb background) {
    look::Rgb strongest = background;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const look::Rgb pixel = look::Rgb::FromHex(pixels.at(x, y));
            if (look::ContrastRatio(pixel, background) >
                look::ContrastRatio(strongest, background)) {
                strongest = pixel;
            }
        }
    }
    return strongest;
}

/// Whether `ink` is `pen` on `background`, as antialiasing blends a stroke's edge: each
/// channel of it lies between theirs.
bool DrawnIn(look::Rgb ink, look::Rgb pen, look::Rgb background) {
    const auto between = [](int value, int a, int b) {
        return value >= std::min(a, b) - 2 && value <= std::max(a, b) + 2;
    };
    return ink != background && between(ink.red, pen.red, background.red) &&
           between(ink.green, pen.green, background.green) &&
           between(ink.blue, pen.blue, background.blue);
}

TEST_F(Win32WindowTest, StatusLineReadsOnLightAndDarkDialogColours) {
    // A dark scheme: its link colour alone would read at 4.1:1 on its dialog colour.
    const std::array<int, 3> elements{COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HOTLIGHT};
    const std::array<COLORREF, 3> dark{RGB(0x30, 0x2F, 0x2E), RGB(0xFF, 0xFF, 0xFF),
                                       RGB(0x09, 0x86, 0xD3)};
    std::array<COLORREF, 3> light{};
    for (std::size_t i = 0; i < elements.size(); ++i) {
        light[i] = GetSysColor(elements[i]);
    }
    // The colours are the session's: the next test finds them as they were, also when
    // this one stops half way.
    const std::unique_ptr<void, std::function<void(void*)>> restore(&light, [&](void*) {
        SetSysColors(static_cast<int>(elements.size()), elements.data(), light.data());
    });
    const struct {
        const char* name;
        const std::array<COLORREF, 3>* colours;
        bool specColours;  // else: at least 4.5:1
        const char* screenshot;
    } kSchemes[] = {
        {"the system's light scheme", &light, true, "scheme_light.png"},
        {"a dark scheme, switched to while running", &dark, false, "scheme_dark.png"},
    };
    const struct {
        Control id;
        std::uint32_t spec;
    } kLabels[] = {{Label6, 0x404040}, {Label_Time, 0x404040}, {Lab_ZanZhu, 0x0000FF}};
    Show();
    for (const auto& scheme : kSchemes) {
        SetSysColors(static_cast<int>(elements.size()), elements.data(), scheme.colours->data());
        Pump(300);
        const Pixels shown = Capture(window->hwnd(), false);
        SavePng(shown, std::string(BREVANE_SCREENSHOT_DIR "/") + scheme.screenshot);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const look::Rgb background{GetRValue(face), GetGValue(face), GetBValue(face)};
        ASSERT_EQ(look::Rgb::FromHex(shown.at(0, shown.height - 1)), background) << scheme.name;
        for (const auto& l : kLabels) {
            SCOPED_TRACE(std::string(scheme.name) + ", " + std::string(SpecOf(l.id).name));
            const look::Rgb ink = StrongestInk(shown, RectInParent(control(l.id)), background);
            if (scheme.specColours) {
                EXPECT_TRUE(DrawnIn(ink, look::Rgb::FromHex(l.spec), background)) << ink.hex();
            } else {
                EXPECT_GE(look::ContrastRatio(ink, background), 4.5);
            }
        }
    }
}

TEST_F(Win32WindowTest, ClosingDuringAPageWaitDestroysTheWindowOnlyAfterTheRunUnwinds) {
    const HWND hwnd = window->hwnd();
    bool stillThere = false;
    bool hidden = false;
    window->closed = [&] { p.pages.abortAt = u"https://loc1.test/"; };
    p.pages.duringWait = [&](Control) {
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        stillThere = IsWindow(hwnd) != FALSE;
        hidden = IsWindowVisible(hwnd) == FALSE;
    };
    Form_Load(p.run);
    Show();
    Pump(5000, [&] { return runsEnded > 0; });
    EXPECT_EQ(runsEnded, 1);
    EXPECT_TRUE(stillThere);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(p.pages.requests().size(), 1u);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window->hwnd(), nullptr);
}

TEST_F(Win32WindowTest, ClosingBeforeTheFirstTickRequestsNothing) {
    Form_Load(p.run);
    Show();
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window->hwnd(), nullptr);
    EXPECT_FALSE(window->timerActive());
    Pump(1300);
    EXPECT_EQ(runsEnded, 0);
    EXPECT_TRUE(p.pages.requests().empty());
}

/// A message-only window that runs an action when a message posted to it arrives, as a
/// handler runs during a wait.
class PostedAction {
public:
    explicit PostedAction(std::function<void()> action) : m_action(std::move(action)) {
        WNDCLASSEXW windowClass{sizeof(windowClass)};
        windowClass.lpfnWndProc = &PostedAction::Proc;
        windowClass.lpszClassName = L"BrevaneTestAction";
        RegisterClassExW(&windowClass);
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, nullptr, this);
    }
    ~PostedAction() { DestroyWindow(m_window); }
    PostedAction(const PostedAction&) = delete;
    PostedAction& operator=(const PostedAction&) = delete;
    void post() const { PostMessageW(m_window, WM_APP, 0, 0); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        } else if (message == WM_APP) {
            reinterpret_cast<PostedAction*>(GetWindowLongPtrW(window, GWLP_USERDATA))->m_action();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::function<void()> m_action;
    HWND m_window = nullptr;
};

TEST(MessageWait, EndsOnItsConditionItsDeadlineAnAbortOrAQuit) {
    const struct {
        const char* name;
        std::function<void(MessageWait&, bool& done)> during;  // a handler in the wait
        WaitEnd end;
        bool quitPassedOn;
    } kCases[] = {
        {"the condition turns true in a handler", [](MessageWait&, bool& done) { done = true; },
         WaitEnd::Done, false},
        {"nothing happens", [](MessageWait&, bool&) {}, WaitEnd::Deadline, false},
        {"a handler aborts", [](MessageWait& wait, bool&) { wait.abort(); }, WaitEnd::Aborted,
         false},
        {"the loop is asked to quit", [](MessageWait&, bool&) { PostQuitMessage(7); },
         WaitEnd::Quit, true},
        {"a handler starts a wait of its own",
         [](MessageWait& wait, bool& done) {
             done = wait.until([] { return false; }, std::nullopt) == WaitEnd::Aborted;
         },
         WaitEnd::Done, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        MessageWait wait;
        bool done = false;
        const PostedAction action([&] { c.during(wait, done); });
        action.post();
        const auto begun = MessageWait::Clock::now();
        EXPECT_EQ(wait.until([&] { return done; }, begun + std::chrono::milliseconds(300)), c.end);
        EXPECT_EQ(MessageWait::Clock::now() - begun >= std::chrono::milliseconds(300),
                  c.end == WaitEnd::Deadline);
        MSG quit{};
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE,
                  c.quitPassedOn);
        if (c.quitPassedOn) {
            EXPECT_EQ(quit.wParam, 7u);
        }
    }
}

}  // namespace
}  // namespace brevane::win32
