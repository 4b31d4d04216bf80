// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of a helper process on Windows: its command line, and the sentences that say
// how it ended or why it could not start.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace brevane::winchannel {

/// UTF-8 as the wide text of the Windows API, and back; a malformed sequence or a lone
/// surrogate becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

/// `argument` as one word of a command line that CommandLineToArgvW, and the C runtime's
/// start-up code, read back unchanged: as it is when it holds no blank and no quote,
/// else quoted, with the backslashes before a quote or the closing quote doubled.
std::wstring QuoteArgument(std::wstring_view argument);
/// The command line that starts `program` with `arguments`. The program comes first, in
/// quotes: that first word is read up to the next quote, without escapes, and a Windows
/// path cannot hold a quote.
std::wstring CommandLine(std::wstring_view program, const std::vector<std::string>& arguments);

/// How a helper that ended with `exitCode` ended: "its page helper exited with code 1", or
/// "its page helper crashed (0xC0000005)" for a status of an exception that ended it.
std::string EndCause(DWORD exitCode);
/// Why `program` could not be started, from the system's message for `error`: "its page
/// helper C:\x\brevane-pages.exe cannot be started (File not found.)".
std::string StartFailure(std::wstring_view program, DWORD error);

}  // namespace brevane::winchannel
