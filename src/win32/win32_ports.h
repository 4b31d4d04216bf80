// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The ports the program asks of the platform, made with the W APIs: the OK/Cancel box,
// the shell that opens a web address, the clock and the diagnostic lines.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/diagnostics.h"
#include "core/ports.h"

namespace brevane::win32 {

/// The system's message box with OK (the default) and Cancel, no icon, plain text; its
/// buttons are in the system's language.
class Win32Confirm : public ConfirmPort {
public:
    /// The window the box is modal over.
    void setOwner(HWND owner) { m_owner = owner; }

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;

    /// Closes an open box and makes it and every later question throw RunAborted.
    void abort();

private:
    HWND m_owner = nullptr;
    bool m_open = false;
    bool m_aborted = false;
};

/// Opens web addresses in the user's browser (ShellExecuteW).
class Win32Shell : public ShellPort {
public:
    /// Only an http or https address is opened: the shell would run anything else.
    void OpenAddress(std::u16string_view address) override;
};

/// Today's date from the system clock, its text in the user's short date format.
class Win32Clock : public ClockPort {
public:
    Today Now() override;
};

/// The name of the environment variable that turns diagnostic lines on standard error
/// on, with rules in the syntax of QT_LOGGING_RULES, e.g. "brevane.*=true".
inline constexpr wchar_t kLoggingRulesVariable[] = L"BREVANE_LOGGING_RULES";

/// The rules of kLoggingRulesVariable; all off when it is not set.
LogRules LoggingRulesFromEnvironment();

/// Every line to the debugger (OutputDebugStringW), whatever the rules; to standard error
/// as well when the rules turn its category on. A line reads "brevane.run: ...", as Qt
/// writes its categories' lines on Linux.
class Win32LogSink : public LogSink {
public:
    explicit Win32LogSink(LogRules rules = LoggingRulesFromEnvironment()) : m_rules(rules) {}
    void Line(LogCategory category, std::string_view line) override;

private:
    LogRules m_rules;
};

/// Writes a line of UTF-8 to the debugger and to standard error, when the program has
/// one (a GUI program started from a console has none unless it is redirected).
void WriteErrorLine(std::string_view line);

}  // namespace brevane::win32
