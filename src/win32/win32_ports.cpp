// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The OK/Cancel box, the shell, the clock and the diagnostic lines, made with the W APIs.
#include "win32/win32_ports.h"

#include <shellapi.h>

#include <array>
#include <string>

#include "core/text.h"
#include "win32/wide.h"

namespace brevane::win32 {
namespace {

/// Ends the message box that `owner`'s thread shows over `owner`.
void EndBoxOf(HWND owner) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM ownerParam) -> BOOL {
            std::array<wchar_t, 16> name{};
            GetClassNameW(window, name.data(), static_cast<int>(name.size()));
            if (std::wstring_view(name.data()) == L"#32770" &&
                GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(ownerParam)) {
                EndDialog(window, IDCANCEL);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(owner));
}

bool QuitPending() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char16_t c = text[i];
        if ((c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c) != prefix[i]) {
            return false;
        }
    }
    return true;
}

void WriteStandardError(std::string_view line) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) {
        return;
    }
    std::string bytes(line);
    bytes += '\n';
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(error, &mode)) {
        // A console shows UTF-16 whatever its code page.
        const std::wstring wide = WideFromUtf8(bytes);
        WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

void WriteDebugger(std::string_view line) {
    const std::wstring wide = WideFromUtf8(std::string(line) + '\n');
    OutputDebugStringW(wide.c_str());
}

}  // namespace

bool Win32Confirm::AskOkCancel(std::u16string_view title, std::u16string_view text) {
    if (m_aborted) {
        throw RunAborted();
    }
    const std::wstring boxTitle = ToWide(title);
    const std::wstring boxText = ToWide(text);
    m_open = true;
    const int answer = MessageBoxW(m_owner, boxText.c_str(), boxTitle.c_str(),
                                   MB_OKCANCEL | MB_DEFBUTTON1 | MB_APPLMODAL | MB_SETFOREGROUND);
    m_open = false;
    // The box also ends when its loop takes a WM_QUIT, which it posts again.
    if (m_aborted || QuitPending()) {
        m_aborted = true;
        throw RunAborted();
    }
    return answer == IDOK;
}

void Win32Confirm::abort() {
    m_aborted = true;
    if (m_open) {
        EndBoxOf(m_owner);
    }
}

void Win32Shell::OpenAddress(std::u16string_view address) {
    if (!StartsWithNoCase(address, u"http://") && !StartsWithNoCase(address, u"https://")) {
        return;
    }
    const std::wstring target = ToWide(address);
    // A failure to open the page is of no consequence to the program.
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Today Win32Clock::Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    Today today;
    today.year = now.wYear;
    today.month = now.wMonth;
    today.day = now.wDay;
    // Windows counts Sunday 0 to Saturday 6; the program counts Sunday 1 to Saturday 7.
    today.dayOfWeek = now.wDayOfWeek + 1;
    std::array<wchar_t, 128> text{};
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr,
                                       text.data(), static_cast<int>(text.size()), nullptr);
    if (length > 1) {
        today.shortDateText = FromWide(std::wstring_view(text.data(), length - 1));
    }
    return today;
}

LogRules LoggingRulesFromEnvironment() {
    std::array<wchar_t, 1024> rules{};
    const DWORD length = GetEnvironmentVariableW(kLoggingRulesVariable, rules.data(),
                                                 static_cast<DWORD>(rules.size()));
    if (length == 0 || length >= rules.size()) {
        return LogRules();
    }
    const std::string utf8 = text::ToUtf8(FromWide(std::wstring_view(rules.data(), length)));
    return LogRules::Parse(utf8);
}

void Win32LogSink::Line(LogCategory category, std::string_view line) {
    const std::string text = std::string(CategoryName(category)) + ": " + std::string(line);
    WriteDebugger(text);
    if (m_rules.enabled(category)) {
        WriteStandardError(text);
    }
}

void WriteErrorLine(std::string_view line) {
    WriteDebugger(line);
    WriteStandardError(line);
}

}  // namespace brevane::win32
