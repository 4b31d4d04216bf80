// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Diagnostic lines: the program's log categories, the rules that turn them on, and the
// run's notes written as lines, the same on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/ports.h"

namespace brevane {

/// The program's log categories; every one is off unless a rule turns it on.
enum class LogCategory {
    Pages,   ///< one line per page load: control, address, outcome, detail, time, length
    Helper,  ///< what the page helper wrote on its standard error, and why it ended
    Run,     ///< marks a cutter looked for and did not find; the failure that ended a run
};
inline constexpr std::size_t kLogCategoryCount = 3;

/// "brevane.pages", "brevane.helper", "brevane.run".
std::string_view CategoryName(LogCategory category);

/// Which categories are on, from rules in the syntax of QT_LOGGING_RULES: rules separated
/// by ';' or line breaks, each "pattern=true" or "pattern=false", where the pattern is a
/// category name, optionally followed by ".debug", with '*' allowed at its start, its end or
/// both. A later rule wins over an earlier one; anything else is ignored.
class LogRules {
public:
    LogRules() = default;
    static LogRules Parse(std::string_view rules);
    bool enabled(LogCategory category) const { return m_on[static_cast<std::size_t>(category)]; }

private:
    std::array<bool, kLogCategoryCount> m_on{};
};

/// Where diagnostic lines go. A line is UTF-8 without a line break.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void Line(LogCategory category, std::string_view line) = 0;
};

/// The run's notes as lines of the run category:
///   Lab_QiYouJiaGe: no "（数据来源自"
///   run stopped: <what>
class RunLogLines final : public RunLogPort {
public:
    explicit RunLogLines(LogSink& sink) : m_sink(sink) {}
    void Missed(std::string_view where, std::u16string_view mark) override;
    void Failed(std::string_view what) override;

private:
    LogSink& m_sink;
};

/// `text` between double quotes, with '"', '\\', CR, LF and TAB escaped as in C, so that a
/// quoted text always stays on its line.
std::string QuotedForLog(std::u16string_view text);
/// `text` without the blanks, tabs and line breaks at its start and end.
std::string_view TrimmedLine(std::string_view text);
/// `text` with every line break made a blank, so that it stays on its line.
std::string OneLine(std::string_view text);

}  // namespace brevane
