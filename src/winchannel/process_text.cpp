// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of a helper process on Windows.
#include "winchannel/process_text.h"

#include <cstdio>
#include <memory>

#include "core/text.h"

namespace brevane::winchannel {

namespace {

// wchar_t is UTF-16 on Windows: the two texts are the same code units.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

struct LocalFreer {
    void operator()(wchar_t* text) const noexcept { ::LocalFree(text); }
};

/// The system's message for `error`, without the line break it ends with.
std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreer> owned(buffer);
    std::wstring_view message(buffer, buffer != nullptr ? length : 0);
    while (!message.empty() &&
           (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return "error " + std::to_string(error);
    }
    return Narrow(message);
}

// An exit status from 0x80000000 up to 0xCFFFFFFF is the status of an exception that
// ended the process (an access violation is 0xC0000005); a program's own exit code there
// would be negative, which no helper returns.
bool IsExceptionStatus(DWORD exitCode) {
    return exitCode >= 0x80000000u && exitCode < 0xD0000000u;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = text::FromUtf8(utf8);
    return {wide.begin(), wide.end()};
}

std::string Narrow(std::wstring_view wide) {
    return text::ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        return std::wstring(argument);
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring CommandLine(std::wstring_view program, const std::vector<std::string>& arguments) {
    std::wstring line = L"\"";
    line += program;
    line += L'"';
    for (const std::string& argument : arguments) {
        line += L' ';
        line += QuoteArgument(Widen(argument));
    }
    return line;
}

std::string EndCause(DWORD exitCode) {
    if (IsExceptionStatus(exitCode)) {
        char status[16];
        std::snprintf(status, sizeof status, "0x%08lX", static_cast<unsigned long>(exitCode));
        return std::string("its page helper crashed (") + status + ")";
    }
    return "its page helper exited with code " + std::to_string(static_cast<LONG>(exitCode));
}

std::string StartFailure(std::wstring_view program, DWORD error) {
    return "its page helper " + Narrow(program) + " cannot be started (" + SystemMessage(error) +
           ")";
}

}  // namespace brevane::winchannel
