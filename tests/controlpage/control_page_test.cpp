// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A page's loads and reads over a scripted browser: which events end a load, what a read
// sees, and what a request that is superseded or out of time answers.
#include "controlpage/control_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/row_name.h"

namespace brevane::controlpage {
namespace {

using namespace std::chrono_literals;
using pageserve::Outcome;

/// Does what each step tells it, and notes what the page asks of it.
struct ScriptedBrowser final : PageBrowser {
    ScriptedBrowser(BrowserEvents& to, std::vector<std::string>& calls) : events(to), log(calls) {}
    std::optional<std::u16string> navigate(std::u16string_view address) override {
        log.push_back("navigate " + std::string(address.begin(), address.end()));
        if (address == u"unreachable") {
            // The control may fail a navigation before the call returns.
            events.navigationFailed(u"cannot be reached");
        }
        if (address == u"malformed") {
            return u"not an address";
        }
        return std::nullopt;
    }
    void stop() override { log.emplace_back("stop"); }
    std::optional<std::u16string> bodyText() override { return body; }

    BrowserEvents& events;
    std::vector<std::string>& log;
    std::optional<std::u16string> body = u"old page";
};

enum class Do { Load, Read, Navigated, Complete, Fail, Body, NoBody, Wait };
struct Step {
    Do what;
    std::u16string arg = {};
};

struct Row {
    std::string name;
    std::vector<Step> steps;
    std::vector<std::string> answers;  // "outcome/detail/text"
    std::vector<std::string> calls = {};
    bool unmade = false;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

std::string Shown(const PageResult& r) {
    static const char* const kNames[] = {"Loaded", "Failed", "TimedOut", "Unreadable"};
    const auto ascii = [](const std::u16string& s) { return std::string(s.begin(), s.end()); };
    return std::string(kNames[static_cast<int>(r.outcome)]) + "/" + ascii(r.detail) + "/" +
           ascii(r.text);
}

/// A page on a scripted browser, on a clock that moves only when told.
struct ScriptedPage {
    explicit ScriptedPage(bool unmade = false)
        : page(
              [this, unmade](BrowserEvents& events) -> MadeBrowser {
                  if (unmade) {
                      return {nullptr, u"cannot be made"};
                  }
                  auto made = std::make_unique<ScriptedBrowser>(events, calls);
                  browser = made.get();
                  return {std::move(made), {}};
              },
              [this] { return now; }) {}

    std::vector<std::string> calls;
    ScriptedBrowser* browser = nullptr;
    ControlPage::Clock::time_point now{};
    ControlPage page;
};

class ControlPageTest : public ::testing::TestWithParam<Row> {};

TEST_P(ControlPageTest, AnswersAsItsBrowserTells) {
    const Row& row = GetParam();
    ScriptedPage scripted(row.unmade);
    ControlPage& page = scripted.page;
    std::vector<std::string> answers;
    const auto answer = [&](const PageResult& r) { answers.push_back(Shown(r)); };
    for (const Step& step : row.steps) {
        ScriptedBrowser* browser = scripted.browser;
        switch (step.what) {
            case Do::Load:
                page.load(step.arg, 100ms, answer);
                break;
            case Do::Read:
                page.read(answer);
                break;
            case Do::Navigated:
                browser->events.navigated();
                break;
            case Do::Complete:
                browser->events.documentComplete();
                break;
            case Do::Fail:
                browser->events.navigationFailed(step.arg);
                break;
            case Do::Body:
                browser->body = step.arg;
                break;
            case Do::NoBody:
                browser->body.reset();
                break;
            case Do::Wait:
                scripted.now += 100ms;
                page.expire();
                break;
        }
    }
    EXPECT_EQ(answers, row.answers);
    if (!row.calls.empty()) {
        EXPECT_EQ(scripted.calls, row.calls);
    }
}

const Row kRows[] = {
    {"complete_after_its_own_navigation",
     {{Do::Load, u"a"}, {Do::Complete}, {Do::Navigated}, {Do::Body, u"A"}, {Do::Complete}},
     {"Loaded/document complete/A"}},
    {"failed_navigation_leaves_no_document",
     {{Do::Load, u"a"}, {Do::Navigated}, {Do::Fail, u"HTTP status 404"}, {Do::Read}},
     {"Failed/HTTP status 404/", "Failed/no document of its own/"}},
    {"out_of_time_with_the_new_document_so_far",
     {{Do::Load, u"a"}, {Do::Navigated}, {Do::Body, u"half"}, {Do::Wait}, {Do::Complete}},
     {"TimedOut/the document was not complete within the time limit/half"},
     {"navigate a", "stop"}},
    {"out_of_time_before_its_document_shows_not_the_old_one",
     {{Do::Load, u"a"}, {Do::Wait}, {Do::Read}},
     {"TimedOut/no document arrived within the time limit/", "Failed/no document of its own/"}},
    {"read_sees_the_live_document",
     {{Do::Load, u"a"},
      {Do::Navigated},
      {Do::Body, u"at load"},
      {Do::Complete},
      {Do::Body, u"written later"},
      {Do::Read}},
     {"Loaded/document complete/at load", "Loaded//written later"}},
    {"read_before_any_load", {{Do::Read}}, {"Loaded/holds no page/"}},
    {"document_without_body",
     {{Do::Load, u"a"}, {Do::Navigated}, {Do::NoBody}, {Do::Complete}},
     {"Unreadable/the document has no body to read/"}},
    {"navigation_refused_or_failed_inside_the_call",
     {{Do::Load, u"malformed"}, {Do::Load, u"unreachable"}},
     {"Failed/not an address/", "Failed/cannot be reached/"}},
    {"superseded_load_answers_nothing_and_stops",
     {{Do::Load, u"a"},
      {Do::Navigated},
      {Do::Load, u"b"},
      {Do::Complete},
      {Do::Navigated},
      {Do::Body, u"B"},
      {Do::Complete}},
     {"Loaded/document complete/B"},
     {"navigate a", "stop", "navigate b"}},
    {"no_browser",
     {{Do::Load, u"a"}, {Do::Read}},
     {"Failed/cannot be made/", "Failed/no document of its own/"},
     {},
     true},
};

INSTANTIATE_TEST_SUITE_P(Rows, ControlPageTest, ::testing::ValuesIn(kRows), testing::RowName{});

TEST(ControlPageText, IsCutToItsBoundBetweenCharacters) {
    ScriptedPage scripted;
    std::optional<PageResult> loaded;
    scripted.page.load(u"a", 1s, [&](PageResult r) { loaded = std::move(r); });
    scripted.browser->body = std::u16string(kMaxTextUnits - 1, u'a') + u"\U0001F600 and more";
    scripted.browser->events.navigated();
    scripted.browser->events.documentComplete();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->text.size(), kMaxTextUnits - 1);
}

}  // namespace
}  // namespace brevane::controlpage
