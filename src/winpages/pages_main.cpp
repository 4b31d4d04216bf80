// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-pages.exe: the Windows page helper, and its one-line check of the engine.
//
// Started by the window, it serves the window's page requests on its standard input and
// output. Started as "brevane-pages.exe --check URL", it loads URL and prints its body text.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pageserve/helper_arguments.h"
#include "winpages/page_threads.h"
#include "winpages/pipe_server.h"
#include "winpages/web_browser.h"

namespace {

using namespace std::chrono_literals;
using brevane::pageserve::Outcome;
using brevane::pageserve::PageResult;
using brevane::winpages::TaskQueue;

constexpr std::wstring_view kCheck = L"--check";
constexpr std::chrono::milliseconds kCheckLimit = 30s;

// --check's exit statuses.
constexpr int kChecked = 0;
constexpr int kPageNotLoaded = 1;
constexpr int kNoEngine = 2;

std::string Utf8(std::wstring_view text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

/// Writes `text` and a line break: UTF-16 to a console, UTF-8 to anything else.
void WriteLine(DWORD which, std::u16string text) {
    const HANDLE out = GetStdHandle(which);
    text += u"\r\n";
    const std::wstring_view wide(reinterpret_cast<const wchar_t*>(text.data()), text.size());
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        for (std::size_t at = 0; at < wide.size();) {
            DWORD n = 0;
            std::size_t part = std::min<std::size_t>(wide.size() - at, 8192);
            // The two halves of a character go out together.
            if (at + part < wide.size() && wide[at + part - 1] >= 0xD800 &&
                wide[at + part - 1] <= 0xDBFF) {
                --part;
            }
            if (!WriteConsoleW(out, wide.data() + at, static_cast<DWORD>(part), &n, nullptr) ||
                n == 0) {
                return;
            }
            at += n;
        }
        return;
    }
    const std::string utf8 = Utf8(wide);
    for (std::size_t at = 0; at < utf8.size();) {
        DWORD n = 0;
        const auto part = static_cast<DWORD>(std::min<std::size_t>(utf8.size() - at, 1u << 20));
        if (!WriteFile(out, utf8.data() + at, part, &n, nullptr) || n == 0) {
            return;
        }
        at += n;
    }
}

/// Runs `main` until `ready` holds or `deadline` passes; true when it holds.
template <typename Ready>
bool RunUntil(TaskQueue& main, const Ready& ready, TaskQueue::Clock::time_point deadline) {
    while (!ready() && TaskQueue::Clock::now() < deadline) {
        main.runUntil(deadline, false);
    }
    return ready();
}

/// Loads `address` on one page and prints its body text.
int Check(std::u16string_view address, bool& threadsLeft) {
    const auto main = std::make_shared<TaskQueue>();
    brevane::winpages::ThreadedPages pages(brevane::winpages::MakeWebBrowser, main);
    std::optional<std::optional<std::u16string>> warm;
    pages.warmUp(1, [&](std::optional<std::u16string> refusal) { warm = std::move(refusal); });
    // Making the control may take a while on a cold start; its blank page has its own limit.
    const auto warmDeadline = TaskQueue::Clock::now() + 3 * brevane::winpages::kBlankPageLimit;
    int status = kChecked;
    std::optional<PageResult> result;
    if (!RunUntil(
            *main, [&] { return warm.has_value(); }, warmDeadline)) {
        WriteLine(STD_ERROR_HANDLE, u"the system's web browser control did not answer");
        status = kNoEngine;
    } else if (*warm) {
        WriteLine(STD_ERROR_HANDLE, **warm);
        status = kNoEngine;
    } else {
        pages.Load(0, address, kCheckLimit, [&](PageResult loaded) { result = std::move(loaded); });
        const auto deadline = TaskQueue::Clock::now() + brevane::pageproto::LoadTime(kCheckLimit);
        if (!RunUntil(
                *main, [&] { return result.has_value(); }, deadline)) {
            WriteLine(STD_ERROR_HANDLE, u"the page's control stopped answering");
            status = kPageNotLoaded;
        } else if (result->outcome == Outcome::Loaded) {
            WriteLine(STD_OUTPUT_HANDLE, std::move(result->text));
        } else if (result->outcome == Outcome::TimedOut) {
            WriteLine(STD_ERROR_HANDLE, u"the page did not complete within 30 s");
            status = kPageNotLoaded;
        } else {
            WriteLine(STD_ERROR_HANDLE, u"the page could not be loaded: " + result->detail);
            status = kPageNotLoaded;
        }
    }
    main->close();
    threadsLeft = !pages.close();
    return status;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]);

int wmain(int argc, wchar_t* argv[]) {
    // No error box of the system's may keep a helper alive that has failed.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);

    int status = 0;
    bool threadsLeft = false;
    if (argc >= 2 && argv[1] == kCheck) {
        if (argc != 3) {
            WriteLine(STD_ERROR_HANDLE, u"usage: brevane-pages.exe --check URL");
            return kPageNotLoaded;
        }
        status = Check(reinterpret_cast<const char16_t*>(argv[2]), threadsLeft);
    } else {
        std::vector<std::string> given;
        for (int i = 1; i < argc; ++i) {
            given.push_back(Utf8(argv[i]));
        }
        const std::vector<std::string_view> views(given.begin(), given.end());
        const brevane::winpages::HelperEnd end = brevane::winpages::RunPageHelper(
            brevane::pageserve::ReadHelperArguments(views), brevane::winpages::MakeWebBrowser,
            GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE));
        status = end.status;
        threadsLeft = end.threadsLeft;
    }
    if (threadsLeft) {
        // A thread stuck in a page's script may hold locks that the libraries' own ends
        // would wait for: the process ends here, without them.
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    }
    return status;
}
