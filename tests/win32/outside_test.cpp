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
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "core/texts.h"
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

std::u16string TextOf(HWND window) {
    std::array<wchar_t, 1024> text{};
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return std::u16string(text.begin(), text.begin() + std::max(length, 0));
}

std::wstring ClassOf(HWND window) {
    std::array<wchar_t, 64> name{};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data(), static_cast<std::size_t>(std::max(length, 0)));
}

/// Polls `found` every 20 ms until it holds or `limit` passes.
bool WaitFor(const std::function<bool()>& found, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!found()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

/// The visible top-level window of class `name` that process `pid` owns, if any.
HWND TopLevelOf(DWORD pid, const wchar_t* name) {
    struct Search {
        DWORD pid;
        const wchar_t* name;
        HWND found;
    } search{pid, name, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.pid && IsWindowVisible(window) && ClassOf(window) == s.name) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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
class RunningProgram {
public:
    /// `program` with its standard error in a file of the build tree.
    explicit RunningProgram(const wchar_t* scenario, const wchar_t* program = BREVANE_FAKE_PROGRAM)
        : m_errorFile(std::string(BREVANE_SCREENSHOT_DIR "/../standard-error.txt")) {
        // The pointer rests off the window, so that no tooltip shows by chance.
        SetCursorPos(0, 0);
        SetEnvironmentVariableW(L"BREVANE_FAKE_PAGES", scenario);
        SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
        const HANDLE error =
            CreateFileA(m_errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{sizeof(startup)};
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = error;
        std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
        const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                            nullptr, nullptr, &startup, &m_process);
        CloseHandle(error);
        if (!started) {
            ADD_FAILURE() << "cannot start " << program;
            return;
        }
        WaitFor([this] { return (m_window = TopLevelOf(pid(), L"BrevaneWindow")) != nullptr; });
    }
    ~RunningProgram() {
        if (m_process.hProcess != nullptr) {
            TerminateProcess(m_process.hProcess, 99);
            WaitForSingleObject(m_process.hProcess, 5000);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    DWORD pid() const { return m_process.dwProcessId; }
    HWND window() const { return m_window; }
    HWND control(Control id) const { return GetDlgItemDeep(id); }

    /// The OK/Cancel box, once it shows.
    HWND box(std::chrono::milliseconds limit = 10s) const {
        HWND found = nullptr;
        WaitFor([&] { return (found = TopLevelOf(pid(), L"#32770")) != nullptr; }, limit);
        return found;
    }

    /// The exit code once the program has ended, within `limit`; none if it runs on.
    std::optional<DWORD> exitWithin(std::chrono::milliseconds limit) const {
        if (WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(limit.count())) !=
            WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

    /// What the program wrote on its standard error so far.
    std::string errorOutput() const {
        std::ifstream file(m_errorFile, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    void screenshot(const char* name) const {
        SavePng(Capture(m_window, false), std::string(BREVANE_SCREENSHOT_DIR "/") + name);
    }

private:
    HWND GetDlgItemDeep(Control id) const {
        struct Search {
            int id;
            HWND found;
        } search{1000 + static_cast<int>(id), nullptr};
        EnumChildWindows(
            m_window,
            [](HWND child, LPARAM param) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(param);
                if (GetDlgCtrlID(child) == s.id) {
                    s.found = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::string m_errorFile;
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

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

std::u16string BoxText(HWND box) {
    std::u16string text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
            if (ClassOf(child) == L"Static" && !TextOf(child).empty()) {
                *reinterpret_cast<std::u16string*>(param) += TextOf(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

TEST(FromOutside, EveryControlReadsAsTheModelHoldsItWhileTheBoxAsksAndCancelLeavesErrorOne) {
    const int dpi = ScreenDpi();
    RunningProgram program(L"nowhere");
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
    RunningProgram program(L"nowhere");
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
    SetEnvironmentVariableW(L"BREVANE_LOGGING_RULES", L"brevane.pages=true");
    RunningProgram program(
        L"", named > 0 && named < installed.size() ? installed.data() : BREVANE_PROGRAM);
    SetEnvironmentVariableW(L"BREVANE_LOGGING_RULES", nullptr);
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
    RunningProgram program(L"shenzhen");
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
        RunningProgram program(c.scenario);
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
    RunningProgram program(L"hanging");
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
