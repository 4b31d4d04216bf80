// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-fake.exe read from another program, as a screen reader and a test tool read it:
// every control's class, ID, text, visibility and rectangle, and its name through the
// accessibility interfaces; the OK/Cancel box found and answered; the error paths, a whole
// run, and the program ended at once by a close or the end of the session during a wait.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "core/texts.h"
#include "outside.h"
#include "present/summary.h"
#include "run/run_sequence.h"
#include "screenshot.h"
#include "support/control_rects.h"
#include "support/fake_ports.h"
#include "support/version_caption.h"

namespace brevane::testing {
namespace {

using enum Control;
using namespace std::chrono_literals;

/// A control as another program sees it.
struct Seen {
    std::wstring className;
    std::u16string text;
    bool visible = false;
    RECT rect{};  // in its container's client area
    std::u16string accessibleName;
};

// IAccessible's interface ID, as documented. MinGW's import library gives the symbol
// IID_IAccessible as oleacc.dll's exported data, which the header does not declare as
// imported: a program that uses it reads other bytes.
constexpr GUID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::u16string AccessibleName(HWND window) {
    // The accessible object of another process's window comes through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&accessible)))) {
        return u"(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::u16string out;
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        out.assign(name, name + SysStringLen(name));
    }
    SysFreeString(name);
    accessible->Release();
    return out;
}

/// Every child window of `window`, by control ID.
std::map<int, Seen> ReadControls(HWND window) {
    std::map<int, Seen> seen;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            RECT rect{};
            GetWindowRect(child, &rect);
            MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
            (*reinterpret_cast<std::map<int, Seen>*>(param))[GetDlgCtrlID(child)] =
                Seen{ClassOf(child), TextOf(child), IsWindowVisible(child) != FALSE, rect,
                     AccessibleName(child)};
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    return seen;
}

/// brevane-fake.exe, started with the pages of `scenario`, and its window once shown.
RunningProgram Fake(const wchar_t* scenario) {
    return RunningProgram(BREVANE_FAKE_PROGRAM, {{L"BREVANE_FAKE_PAGES", scenario}});
}

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

/// Whether a control and every frame around it are visible in the model.
bool ShownInModel(const WindowModel& model, Control id) {
    const std::optional<Control> container = SpecOf(id).container;
    return model.visible(id) && (!container || ShownInModel(model, *container));
}

TEST(FromOutside, EveryControlReadsAsTheModelHoldsItWhileTheBoxAsksAndCancelLeavesErrorOne) {
    const int dpi = ScreenDpi();
    RunningProgram program = Fake(L"nowhere");
    ASSERT_NE(program.window(), nullptr);
    const HWND box = program.box();
    ASSERT_NE(box, nullptr);
    program.screenshot(dpi == 96 ? "outside_window_asking.png" : "outside_window_asking_144.png");
    SavePng(Capture(box, true), std::string(BREVANE_SCREENSHOT_DIR "/") +
                                    (dpi == 96 ? "outside_box.png" : "outside_box_144.png"));

    // What the window shows while the box asks: Form_Load's texts, nothing more.
    FakeProgram expected;
    Form_Load(expected.run);
    const std::map<int, Seen> seen = ReadControls(program.window());
    for (const ControlSpec& spec : AllControls()) {
        SCOPED_TRACE(std::string(spec.name));
        const auto found = seen.find(1000 + static_cast<int>(spec.id));
        if (spec.kind == ControlKind::Timer || spec.kind == ControlKind::Browser) {
            EXPECT_EQ(found, seen.end());
            continue;
        }
        ASSERT_NE(found, seen.end());
        const Seen& control = found->second;
        EXPECT_EQ(control.visible, ShownInModel(expected.window, spec.id));
        if (spec.kind == ControlKind::Label) {
            EXPECT_EQ(control.className, L"BrevaneLabel");
            EXPECT_EQ(control.text, expected.window.caption(spec.id));
            EXPECT_EQ(control.accessibleName, expected.window.caption(spec.id));
        }
    }
    EXPECT_EQ(seen.size(), 21u);
    for (const ExpectedRect& row : kControlRects) {
        const RECT& r = seen.at(1000 + static_cast<int>(row.id)).rect;
        EXPECT_EQ(RectMismatch(row, dpi, r.left, r.top, r.right - r.left, r.bottom - r.top), "");
    }

    // The box: its title and question, OK the default, and disabled window beneath it.
    EXPECT_EQ(TextOf(box), texts::kErrorBoxTitle);
    EXPECT_NE(BoxText(box).find(u"Error：1801"), std::u16string::npos);
    const HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(ok, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_FALSE(IsWindowEnabled(program.window()));

    PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    const HWND netError = program.control(NetError);
    // The run ends with the bare version caption.
    EXPECT_TRUE(WaitFor([&] { return TextOf(program.window()) == kVersionCaption; }));
    EXPECT_TRUE(IsWindowVisible(netError));
    EXPECT_NE(TextOf(netError).find(u"1801"), std::u16string::npos);
    program.screenshot(dpi == 96 ? "outside_error_01.png" : "outside_error_01_144.png");

    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitWithin(5s), 0u);
}

TEST(FromOutside, OkInTheBoxLoadsGuangdongAndWithoutPricesEndsInErrorTwo) {
    RunningProgram program = Fake(L"nowhere");
    const HWND box = program.box();
    ASSERT_NE(box, nullptr);
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    const HWND netError = program.control(NetError);
    EXPECT_TRUE(WaitFor([&] {
        return IsWindowVisible(netError) && TextOf(netError).find(u"1802") != std::u16string::npos;
    }));
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitWithin(5s), 0u);
}

// Under Wine the system's browser control loads no page: the program with its own page
// helper says so once, within seconds, and its run ends as the Linux program's does when its
// engine cannot start.
// BREVANE_PROGRAM_UNDER_TEST names another brevane.exe to check so, such as one installed.
TEST(FromOutside, ThePageHelperThatCannotLoadPagesIsSaidOnceAndTheRunAsksAboutGuangdong) {
    std::array<wchar_t, MAX_PATH> installed{};
    const DWORD named = GetEnvironmentVariableW(L"BREVANE_PROGRAM_UNDER_TEST", installed.data(),
                                                static_cast<DWORD>(installed.size()));
    // The pages' lines on standard error as well, as the variable asks.
    RunningProgram program(
        named > 0 && named < installed.size() ? installed.data() : BREVANE_PROGRAM,
        {{L"BREVANE_LOGGING_RULES", L"brevane.pages=true"}});
    // Within 30 s of the window's first paint, on however busy a machine.
    const HWND box = program.box(30s);
    ASSERT_NE(box, nullptr);
    PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(program.control(NetError)) != FALSE; }));
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitWithin(5s), 0u);
    const std::string said = program.errorOutput();
    const std::string why =
        "brevane: the system's web browser control was created but does not load pages: ";
    EXPECT_EQ(said.substr(0, why.size()), why);
    EXPECT_EQ(said.substr(said.find('\n') + 1),
              "brevane.pages: Web_IP https://ip.brevane-locate.cn/ failed (browser engine "
              "unusable) in 0 ms, 0 characters\n"
              "brevane.pages: Web_IP http://where.brevane-locate.cn/ failed (browser engine "
              "unusable) in 0 ms, 0 characters\n"
              "brevane.pages: Web_IP https://lookup.brevane-locate.cn/ip.html failed (browser "
              "engine unusable) in 0 ms, 0 characters\n");
}

TEST(FromOutside, AWholeRunShowsThePricesOfThePlaceAndTodaysDate) {
    RunningProgram program = Fake(L"shenzhen");
    const HWND time = program.control(Label_Time);
    ASSERT_TRUE(
        WaitFor([&] { return TextOf(program.window()).find(u"深圳") != std::u16string::npos; }));
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::array<wchar_t, 128> date{};
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr,
                                       date.data(), static_cast<int>(date.size()), nullptr);
    const Today today{now.wYear, now.wMonth, now.wDay, now.wDayOfWeek + 1,
                      std::u16string(date.begin(), date.begin() + std::max(length - 1, 0))};
    EXPECT_EQ(TextOf(time), DateLine(today));
    EXPECT_NE(TextOf(program.control(Lab_QiYouJiaGe_2)).find(u"7.15"), std::u16string::npos);
    program.screenshot("outside_run.png");
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitWithin(5s), 0u);
}

TEST(FromOutside, AClosedWindowOrTheSessionsEndDuringAWaitEndsTheProgramAtOnce) {
    const struct {
        const char* name;
        const wchar_t* scenario;
        std::function<void(HWND window)> end;
    } kCases[] = {
        {"closed during a page wait", L"hanging",
         [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }},
        {"session ends during a page wait", L"hanging",
         [](HWND window) {
             DWORD_PTR answer = 0;
             SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
             EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
             SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 2000, &answer);
         }},
        {"closed while the box asks", L"nowhere",
         [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        RunningProgram program = Fake(c.scenario);
        if (std::wstring_view(c.scenario) == L"hanging") {
            const std::wstring name = L"brevane-fake-waiting-" + std::to_wstring(program.pid());
            ASSERT_TRUE(WaitFor([&] {
                const HANDLE waiting = OpenEventW(SYNCHRONIZE, FALSE, name.c_str());
                if (waiting != nullptr) {
                    CloseHandle(waiting);
                }
                return waiting != nullptr;
            }));
        } else {
            ASSERT_NE(program.box(), nullptr);
        }
        c.end(program.window());
        EXPECT_EQ(program.exitWithin(1s), 0u);
    }
}

TEST(FromOutside, ALabelThatDrawsNothingShowsItsTooltipUnderThePointer) {
    RunningProgram program = Fake(L"hanging");
    // The window is moved off the middle of the screen, where the pointer starts, so that
    // the tooltip shows only when the pointer is brought over the label.
    SetWindowPos(program.window(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const auto toolTip = [&]() -> std::u16string {
        const HWND tip = TopLevelOf(program.pid(), L"tooltips_class32");
        if (tip == nullptr) {
            return {};
        }
        std::array<wchar_t, 256> text{};
        SendMessageW(tip, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        return std::u16string(text.data(), text.data() + wcslen(text.data()));
    };
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(toolTip(), u"");
    RECT label{};
    GetWindowRect(program.control(Lab_DanJia_1), &label);
    SetCursorPos((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    EXPECT_TRUE(WaitFor([&] { return toolTip() == u"单价(I)"; }, 5s))
        << "shown: " << toolTip().size();
}

}  // namespace
}  // namespace brevane::testing
