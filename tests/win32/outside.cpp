// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A program started by a test and read from outside.
#include "outside.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <thread>

#include "screenshot.h"

namespace brevane::testing {

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

bool WaitFor(const std::function<bool()>& found, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!found()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

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

RunningProgram::RunningProgram(
    const std::wstring& program,
    const std::vector<std::pair<std::wstring, std::wstring>>& environment)
    : m_errorFile(std::string(BREVANE_SCREENSHOT_DIR "/../standard-error.txt")) {
    // The pointer rests off the window, so that no tooltip shows by chance.
    SetCursorPos(0, 0);
    // The child inherits this process's environment, which is put back as it was after.
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> before;
    for (const auto& [name, value] : environment) {
        std::wstring old(32767, L'\0');
        const DWORD length =
            GetEnvironmentVariableW(name.c_str(), old.data(), static_cast<DWORD>(old.size()));
        old.resize(length);
        before.emplace_back(name, length > 0 ? std::optional(old) : std::nullopt);
        SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    const HANDLE error =
        CreateFileA(m_errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = error;
    std::wstring commandLine = L"\"" + program + L"\"";
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &m_process);
    CloseHandle(error);
    for (const auto& [name, value] : before) {
        SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
    }
    if (!started) {
        ADD_FAILURE() << "cannot start the program";
        m_process = {};
        return;
    }
    WaitFor([this] { return (m_window = TopLevelOf(pid(), L"BrevaneWindow")) != nullptr; });
}

RunningProgram::~RunningProgram() {
    if (m_process.hProcess != nullptr) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

HWND RunningProgram::control(Control id) const {
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

HWND RunningProgram::box(std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = TopLevelOf(pid(), L"#32770")) != nullptr; }, limit);
    return found;
}

std::optional<DWORD> RunningProgram::exitWithin(std::chrono::milliseconds limit) const {
    if (m_process.hProcess == nullptr ||
        WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(limit.count())) !=
            WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

std::string RunningProgram::errorOutput() const {
    std::ifstream file(m_errorFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void RunningProgram::screenshot(const std::string& name) const {
    SavePng(Capture(m_window, false), std::string(BREVANE_SCREENSHOT_DIR "/") + name);
}

}  // namespace brevane::testing
