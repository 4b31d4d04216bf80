// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole Windows program under Wine against the stand-in sites, with the Linux page
// helper through the relay, read from outside: each run ends as the table that the Qt
// program's end-to-end tests check says (support/end_states.h). scripts/test-windows-e2e.sh
// provides the Linux side: brevane-e2e-sites in $BREVANE_E2E_DIR, which serves the scenario
// that its file want names and then says so in its file serving, and the relays' folder
// $BREVANE_RELAY_DIR.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text.h"
#include "outside.h"
#include "support/end_states.h"

namespace brevane::testing {
namespace {

using namespace std::chrono_literals;

// Far above what a run takes here (about 3 s), for a machine that is busy.
constexpr auto kRunWithin = 60s;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

/// The path by which Wine reaches the Linux path `path`.
std::wstring WindowsPath(std::string_view path) {
    std::wstring windows = L"Z:";
    for (const char c : path) {
        windows += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return windows;
}

std::string ReadWholeFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text(4096, '\0');
    DWORD got = 0;
    if (::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr) == 0) {
        got = 0;
    }
    CloseHandle(file);
    text.resize(got);
    return text;
}

bool WriteWholeFile(const std::wstring& path, std::string_view text) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return wrote != 0 && written == text.size();
}

/// Has the Linux side serve the scenario `sites`, and waits until it does.
bool Serve(std::string_view sites) {
    const std::wstring folder = WindowsPath(Environment("BREVANE_E2E_DIR"));
    DeleteFileW((folder + L"\\serving").c_str());
    // Written whole, then named: the Linux side never reads half a name.
    return WriteWholeFile(folder + L"\\want.part", sites) &&
           MoveFileExW((folder + L"\\want.part").c_str(), (folder + L"\\want").c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0 &&
           WaitFor([&] { return ReadWholeFile(folder + L"\\serving") == sites; });
}

/// The folder of the relay started last: relay-N with the highest N.
std::wstring NewestRelay() {
    const std::wstring base = WindowsPath(Environment("BREVANE_RELAY_DIR"));
    int newest = 0;
    while (GetFileAttributesW((base + L"\\relay-" + std::to_wstring(newest + 1)).c_str()) !=
           INVALID_FILE_ATTRIBUTES) {
        ++newest;
    }
    return base + L"\\relay-" + std::to_wstring(newest);
}

/// The Linux process id of the helper that the relay in `relay` runs, once it is known.
long LinuxHelper(const std::wstring& relay) {
    long pid = 0;
    WaitFor([&] { return (pid = std::atol(ReadWholeFile(relay + L"\\pid").c_str())) > 0; });
    return pid;
}

bool LinuxProcessRuns(long pid) {
    return GetFileAttributesW((L"Z:\\proc\\" + std::to_wstring(pid)).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

/// The control's own visibility, whatever its frame's.
bool Shown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

RunningProgram StartProgram() {
    return RunningProgram(BREVANE_E2E_PROGRAM, {});
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (Environment("BREVANE_E2E_DIR").empty() || Environment("BREVANE_RELAY_DIR").empty() ||
            Environment("BREVANE_E2E_SITES").empty()) {
            GTEST_SKIP() << "needs the Linux side: run scripts/test-windows-e2e.sh";
        }
    }
};

TEST_F(EndToEnd, EachRunEndsAsTheTableSays) {
    const struct {
        const EndState& state;
        bool killHelper;  // the Linux helper killed while the run waits for a page that hangs
    } kRows[] = {
        {kShenzhenRun, false}, {kNoLocationCancelled, false}, {kNoLocationGuangdong, false},
        {kPricesDown, false},  {kCityPageLost, true},
    };
    for (const auto& row : kRows) {
        const EndState& state = row.state;
        SCOPED_TRACE(std::string(state.name));
        ASSERT_TRUE(Serve(state.sites));
        RunningProgram program = StartProgram();
        ASSERT_NE(program.window(), nullptr);
        if (state.answerOk) {
            const HWND box = program.box();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(TextOf(box), kNoLocationBox.title);
            const std::u16string text = BoxText(box);
            EXPECT_TRUE(text.starts_with(kNoLocationBox.textStart)) << text::ToUtf8(text);
            EXPECT_TRUE(text.ends_with(kNoLocationBox.textEnd)) << text::ToUtf8(text);
            EXPECT_EQ(TextOf(program.window()),
                      kVersionCaption + std::u16string(kNoLocationBox.placeCaptionMeanwhile));
            PostMessageW(GetDlgItem(box, *state.answerOk ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
        }
        if (row.killHelper) {
            // Site A's province panel, empty until then, is written: the run waits for its
            // city page.
            ASSERT_TRUE(
                WaitFor([&] { return !TextOf(program.control(Control::Lab_QiYouJiaGe)).empty(); },
                        kRunWithin));
            const std::wstring relay = NewestRelay();
            const long helper = LinuxHelper(relay);
            ASSERT_TRUE(WriteWholeFile(relay + L"\\kill", ""));
            EXPECT_TRUE(WaitFor([&] { return !LinuxProcessRuns(helper); }));
        }
        const bool ended =
            WaitFor([&] { return TextOf(program.window()) == state.windowCaption(); }, kRunWithin);
        program.screenshot("e2e_" + std::string(state.name) + ".png");
        ASSERT_TRUE(ended) << text::ToUtf8(TextOf(program.window())) << "\n"
                           << program.errorOutput();
        for (const ExpectedControl& control : state.controls) {
            const HWND window = program.control(control.id);
            EXPECT_EQ(ControlMismatch(control, TextOf(window), Shown(window)), "");
        }
        EXPECT_EQ(program.errorOutput(), "");
        PostMessageW(program.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.exitWithin(5s), 0u);
    }
}

TEST_F(EndToEnd, AClosedWindowDuringAPageWaitEndsTheProgramAndItsLinuxHelperAtOnce) {
    ASSERT_TRUE(Serve(sites::kSiteBHangs));
    RunningProgram program = StartProgram();
    ASSERT_NE(program.window(), nullptr);
    // The notice is written from site A's province page: the run goes on to site B's,
    // which hangs.
    ASSERT_TRUE(WaitFor([&] { return TextOf(program.control(Control::Lab_Replace)) == kNotice; },
                        kRunWithin));
    const long helper = LinuxHelper(NewestRelay());
    ASSERT_GT(helper, 0);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitWithin(2s), 0u);
    EXPECT_TRUE(WaitFor([&] { return !LinuxProcessRuns(helper); }, 5s));
}

}  // namespace
}  // namespace brevane::testing
