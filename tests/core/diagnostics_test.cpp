// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the logging rules and of the run's notes as lines.
#include "core/diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brevane {
namespace {

TEST(LogRules, TurnOnWhatTheirPatternsCoverLaterRulesWinning) {
    struct Row {
        const char* name;
        const char* rules;
        bool pages, helper, run;
    };
    const Row rows[] = {
        {"nothing_set", "", false, false, false},
        {"all_of_ours", "brevane.*=true", true, true, true},
        {"one_category_at_debug_level", "brevane.pages.debug=true", true, false, false},
        {"a_later_rule_wins", "brevane.*=true;brevane.helper=false", true, false, true},
        {"lines_and_blanks", " brevane.run = true \n*.pages=true", true, false, true},
        {"wildcards_both_ends", "*helper*=true", false, true, false},
        {"other_levels_and_junk_ignored", "brevane.*.warning=true;brevane.run;x=yes", false, false,
         false},
        {"another_program", "qt.*=true", false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const LogRules rules = LogRules::Parse(row.rules);
        EXPECT_EQ(rules.enabled(LogCategory::Pages), row.pages);
        EXPECT_EQ(rules.enabled(LogCategory::Helper), row.helper);
        EXPECT_EQ(rules.enabled(LogCategory::Run), row.run);
    }
}

TEST(RunLogLines, StayOnOneLineWhateverTheTextHolds) {
    struct Sink : LogSink {
        void Line(LogCategory category, std::string_view line) override {
            lines.emplace_back(category, line);
        }
        std::vector<std::pair<LogCategory, std::string>> lines;
    } sink;
    RunLogLines log(sink);
    log.Missed("Lab_YouJia", u"\u3000\"数据\"\r\n\\");
    log.Failed("bad\nthing");
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[0].first, LogCategory::Run);
    EXPECT_EQ(sink.lines[0].second, "Lab_YouJia: no \"\u3000\\\"数据\\\"\\r\\n\\\\\"");
    EXPECT_EQ(sink.lines[1].second, "run stopped: bad thing");
}

}  // namespace
}  // namespace brevane
