// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Diagnostic lines: categories, rules and the run's notes.
#include "core/diagnostics.h"

#include <vector>

#include "core/text.h"

namespace brevane {

namespace {

/// Whether a rule's pattern covers `name`: exact, or with '*' standing for any text at its
/// start, its end or both.
bool Covers(std::string_view pattern, std::string_view name) {
    const bool anyStart = pattern.starts_with('*');
    if (anyStart) {
        pattern.remove_prefix(1);
    }
    const bool anyEnd = pattern.ends_with('*');
    if (anyEnd) {
        pattern.remove_suffix(1);
    }
    if (anyStart && anyEnd) {
        return name.find(pattern) != std::string_view::npos;
    }
    if (anyStart) {
        return name.ends_with(pattern);
    }
    if (anyEnd) {
        return name.starts_with(pattern);
    }
    return name == pattern;
}

}  // namespace

std::string_view CategoryName(LogCategory category) {
    switch (category) {
        case LogCategory::Pages:
            return "brevane.pages";
        case LogCategory::Helper:
            return "brevane.helper";
        case LogCategory::Run:
            return "brevane.run";
    }
    return "brevane";
}

LogRules LogRules::Parse(std::string_view rules) {
    LogRules parsed;
    while (!rules.empty()) {
        const std::size_t end = rules.find_first_of(";\n");
        const std::string_view rule = rules.substr(0, end);
        rules = end == std::string_view::npos ? std::string_view() : rules.substr(end + 1);
        const std::size_t equals = rule.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view pattern = TrimmedLine(rule.substr(0, equals));
        const std::string_view value = TrimmedLine(rule.substr(equals + 1));
        if (value != "true" && value != "false") {
            continue;
        }
        // Only the debug level carries the program's lines; a rule for another level
        // leaves them as they are.
        for (const std::string_view level : {".info", ".warning", ".critical"}) {
            if (pattern.ends_with(level)) {
                pattern = {};
            }
        }
        if (pattern.ends_with(".debug")) {
            pattern.remove_suffix(6);
        }
        if (pattern.empty()) {
            continue;
        }
        for (std::size_t i = 0; i < kLogCategoryCount; ++i) {
            if (Covers(pattern, CategoryName(static_cast<LogCategory>(i)))) {
                parsed.m_on[i] = value == "true";
            }
        }
    }
    return parsed;
}

void RunLogLines::Missed(std::string_view where, std::u16string_view mark) {
    m_sink.Line(LogCategory::Run, std::string(where) + ": no " + QuotedForLog(mark));
}

void RunLogLines::Failed(std::string_view what) {
    m_sink.Line(LogCategory::Run, "run stopped: " + OneLine(what));
}

std::string QuotedForLog(std::u16string_view text) {
    std::string quoted = "\"";
    for (const char c : text::ToUtf8(text)) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + '"';
}

std::string_view TrimmedLine(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace brevane
