// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-pages.exe itself, started as the window starts it: its first answer where the
// system's web browser control loads no pages or the window speaks another version, and
// its --check of a page written here, where the control loads pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/answer_pipe.h"
#include "support/elapsed.h"
#include "support/row_name.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using testing::Clock;
using testing::since;

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

/// Wine makes no window without an X display, and so no control's host either.
bool WineWithoutDisplay() {
    return UnderWine() && GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0;
}

/// brevane-pages.exe, beside this program.
std::wstring HelperProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"brevane-pages.exe";
}

/// The helper with its standard input, output and error on pipes.
class Helper {
public:
    explicit Helper(const std::wstring& arguments) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE input = nullptr;
        HANDLE output = nullptr;
        HANDLE error = nullptr;
        CreatePipe(&input, &m_input, &inherit, 0);
        CreatePipe(&m_output, &output, &inherit, 0);
        CreatePipe(&m_error, &error, &inherit, 0);
        for (const HANDLE own : {m_input, m_output, m_error}) {
            SetHandleInformation(own, HANDLE_FLAG_INHERIT, 0);
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = error;
        std::wstring command = L"\"" + HelperProgram() + L"\" " + arguments;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                           nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            m_process = process.hProcess;
        }
        for (const HANDLE theirs : {input, output, error}) {
            CloseHandle(theirs);
        }
        m_window.emplace(m_input, m_output);
    }
    ~Helper() {
        closeInput();
        if (m_process != nullptr) {
            TerminateProcess(m_process, 99);
            CloseHandle(m_process);
        }
        CloseHandle(m_output);
        CloseHandle(m_error);
    }

    bool started() const { return m_process != nullptr; }
    testing::AnswerPipe& window() { return *m_window; }
    void closeInput() {
        if (m_input != nullptr) {
            CloseHandle(m_input);
            m_input = nullptr;
        }
    }
    /// Its exit status, if it ends within `within`.
    std::optional<DWORD> exit(std::chrono::milliseconds within) {
        DWORD status = 0;
        if (WaitForSingleObject(m_process, static_cast<DWORD>(within.count())) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(m_process, &status)) {
            return std::nullopt;
        }
        return status;
    }
    /// All it wrote on `pipe`, once it has ended.
    static std::string drain(HANDLE pipe) {
        std::string all;
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) {
            all.append(buffer, n);
        }
        return all;
    }
    std::string output() { return drain(m_output); }
    std::string error() { return drain(m_error); }

private:
    HANDLE m_input = nullptr;
    HANDLE m_output = nullptr;
    HANDLE m_error = nullptr;
    HANDLE m_process = nullptr;
    std::optional<testing::AnswerPipe> m_window;
};

struct StartRow {
    std::string name;
    std::wstring arguments;
    std::u16string fatal;  ///< what the Fatal sentence begins with
};

void PrintTo(const StartRow& row, std::ostream* os) {
    *os << row.name;
}

class PagesProgramStart : public ::testing::TestWithParam<StartRow> {};

TEST_P(PagesProgramStart, SaysFatalWithinTenSeconds) {
    if (WineWithoutDisplay()) {
        GTEST_SKIP() << "Wine makes no window without an X display: run under xvfb-run";
    }
    const StartRow& row = GetParam();
    const auto start = Clock::now();
    Helper helper(row.arguments);
    ASSERT_TRUE(helper.started());
    const std::optional<pageproto::Answer> first = helper.window().next(10s);
    ASSERT_TRUE(first) << "no answer within 10 s";
    if (!UnderWine() && std::holds_alternative<pageproto::Ready>(*first)) {
        GTEST_SKIP() << "the system's web browser control loads pages here";
    }
    const auto* fatal = std::get_if<pageproto::Fatal>(&*first);
    ASSERT_NE(fatal, nullptr);
    EXPECT_TRUE(fatal->reason.starts_with(row.fatal))
        << std::string(fatal->reason.begin(), fatal->reason.end());
    EXPECT_LT(since(start), 10s);
    EXPECT_EQ(helper.exit(3s), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PagesProgramStart,
    ::testing::Values(
        StartRow{"control_that_loads_no_pages", L"--protocol-version=3",
                 u"the system's web browser control was created but does not load pages: its "
                 u"blank start page "},
        StartRow{"window_of_another_version", L"--protocol-version=2",
                 u"window speaks version 2, this helper 3"}),
    testing::RowName{});

// "今日油价：92号汽油 7.85元/升" in GBK, a page's own charset, and in UTF-8, as --check
// prints it to a pipe.
constexpr char kPriceLineGbk[] =
    "\xBD\xF1\xC8\xD5\xD3\xCD\xBC\xDB\xA3\xBA\x39\x32\xBA\xC5\xC6\xFB\xD3\xCD\x20\x37\x2E\x38\x35"
    "\xD4\xAA\x2F\xC9\xFD";
constexpr char kPriceLineUtf8[] = "今日油价：92号汽油 7.85元/升";

TEST(PagesProgramCheck, PrintsTheBodyTextOfAFilePageWrittenInItsOwnCharset) {
    if (WineWithoutDisplay()) {
        GTEST_SKIP() << "Wine makes no window without an X display: run under xvfb-run";
    }
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetTempPathW(static_cast<DWORD>(path.size()), path.data()));
    path += L"brevane-check-" + std::to_wstring(GetCurrentProcessId()) + L".html";
    const std::string page =
        std::string(
            "<!DOCTYPE html><html><head><meta http-equiv=\"Content-Type\" "
            "content=\"text/html; charset=gbk\"><title>check</title></head><body>"
            "<span id=\"s\">") +
        kPriceLineGbk +
        "</span><script>document.getElementById('s').innerHTML += ' (script)';</script>"
        "</body></html>";
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(file, page.data(), static_cast<DWORD>(page.size()), &n, nullptr);
    CloseHandle(file);
    std::wstring url = L"file:///" + path;
    for (wchar_t& c : url) {
        c = c == L'\\' ? L'/' : c;
    }

    Helper helper(L"--check " + url);
    ASSERT_TRUE(helper.started());
    const std::optional<DWORD> status = helper.exit(60s);
    DeleteFileW(path.c_str());
    ASSERT_TRUE(status) << "no end within 60 s";
    std::string error = helper.error();
    while (!error.empty() && (error.back() == '\n' || error.back() == '\r')) {
        error.pop_back();
    }
    if (*status == 2) {
        GTEST_SKIP() << "the system's web browser control loads no pages here: " << error;
    }
    EXPECT_EQ(*status, 0u) << error;
    EXPECT_EQ(helper.output(), std::string(kPriceLineUtf8) + " (script)\r\n");
}

}  // namespace
}  // namespace brevane
