// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows page helper on its pipes, with fake browsers on the pages' threads: what it
// answers first, loads answered as they finish, a read of the live page, a page whose
// thread is stuck, and a window that goes while pages load.
#include "winpages/pipe_server.h"

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <string>
#include <vector>

#include "support/answer_pipe.h"
#include "support/elapsed.h"
#include "support/page_answer.h"
#include "support/row_name.h"
#include "winpages/page_threads.h"

namespace brevane::winpages {
namespace {

using namespace std::chrono_literals;
using controlpage::BrowserEvents;
using controlpage::BrowserMaker;
using controlpage::MadeBrowser;
using pageproto::Answer;
using pageproto::LoadRequest;
using pageproto::Outcome;
using pageproto::ReadRequest;
using testing::Clock;
using testing::Page;
using testing::since;

/// What a fake browser's page does.
struct FakePage {
    std::chrono::milliseconds complete = 10ms;  // after its navigation starts
    std::u16string text;
    std::u16string later = {};    // what a script writes into it 100 ms after it is complete
    std::u16string failure = {};  // its navigation fails with this instead
    bool hangs = false;           // a script that never yields: its thread blocks for good
};
using Site = std::map<std::u16string, FakePage>;

const Site kSite = {
    {u"about:blank", {}},
    {u"fast", {.complete = 20ms, .text = u"fast page", .later = u"written later"}},
    {u"middle", {.complete = 250ms, .text = u"middle page"}},
    {u"slow", {.complete = 500ms, .text = u"slow page"}},
    {u"never", {.complete = 24h}},
    {u"hangs", {.hangs = true}},
};

// Thread timers, whose procedure the page thread's message loop calls.
thread_local std::map<UINT_PTR, std::function<void()>> t_timers;

void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const auto found = t_timers.find(timer);
    if (found != t_timers.end()) {
        const std::function<void()> run = std::move(found->second);
        t_timers.erase(found);
        run();
    }
}

/// A browser whose pages come from a table and tell of their ends from the thread's
/// message loop, as the control does.
class FakeBrowser final : public controlpage::PageBrowser {
public:
    FakeBrowser(BrowserEvents& events, const Site& site) : m_events(events), m_site(site) {}

    std::optional<std::u16string> navigate(std::u16string_view address) override {
        const auto found = m_site.find(std::u16string(address));
        if (found == m_site.end()) {
            return u"no such page";
        }
        const FakePage& page = found->second;
        if (page.hangs) {
            Sleep(INFINITE);
        }
        const int navigation = ++m_navigation;
        after(1ms, navigation, [this] {
            m_text.clear();
            m_events.navigated();
        });
        after(page.complete, navigation, [this, &page] {
            if (!page.failure.empty()) {
                m_events.navigationFailed(page.failure);
                return;
            }
            m_text = page.text;
            m_later = page.later;
            m_completed = Clock::now();
            m_events.documentComplete();
        });
        return std::nullopt;
    }
    void stop() override { ++m_navigation; }
    std::optional<std::u16string> bodyText() override {
        return !m_later.empty() && since(m_completed) >= 100ms ? m_later : m_text;
    }

private:
    /// Runs `step` after `delay` unless another navigation has started by then.
    void after(std::chrono::milliseconds delay, int navigation, std::function<void()> step) {
        const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(delay.count()), Fire);
        t_timers[timer] = [alive = std::weak_ptr<int>(m_alive), this, navigation, step] {
            if (alive.lock() && navigation == m_navigation) {
                step();
            }
        };
    }

    BrowserEvents& m_events;
    const Site& m_site;
    int m_navigation = 0;
    std::u16string m_text;
    std::u16string m_later;
    Clock::time_point m_completed;
    std::shared_ptr<int> m_alive = std::make_shared<int>();
};

BrowserMaker FakeBrowsers(const Site& site) {
    return [&site](BrowserEvents& events) -> MadeBrowser {
        return {std::make_unique<FakeBrowser>(events, site), {}};
    };
}

/// RunPageHelper on a thread of its own, with the window's ends of its pipes.
class HelperOnPipes {
public:
    HelperOnPipes(std::vector<std::string> arguments, BrowserMaker make) {
        CreatePipe(&m_helperInput, &m_toHelper, nullptr, 0);
        CreatePipe(&m_fromHelper, &m_helperOutput, nullptr, 0);
        m_window.emplace(m_toHelper, m_fromHelper);
        m_end = std::async(std::launch::async, [this, arguments, make] {
            const std::vector<std::string_view> given(arguments.begin(), arguments.end());
            return RunPageHelper(pageserve::ReadHelperArguments(given), make, m_helperInput,
                                 m_helperOutput);
        });
    }
    ~HelperOnPipes() {
        closeInput();
        if (m_end.valid()) {
            m_end.wait();
        }
        for (const HANDLE end : {m_helperInput, m_helperOutput, m_fromHelper}) {
            CloseHandle(end);
        }
    }

    testing::AnswerPipe& window() { return *m_window; }
    void closeInput() {
        if (m_toHelper != nullptr) {
            CloseHandle(m_toHelper);
            m_toHelper = nullptr;
        }
    }
    /// How the helper ended, if it has within `within`.
    std::optional<HelperEnd> end(std::chrono::milliseconds within) {
        if (m_end.wait_for(within) != std::future_status::ready) {
            return std::nullopt;
        }
        return m_end.get();
    }

private:
    HANDLE m_helperInput = nullptr;
    HANDLE m_toHelper = nullptr;
    HANDLE m_fromHelper = nullptr;
    HANDLE m_helperOutput = nullptr;
    std::optional<testing::AnswerPipe> m_window;
    std::future<HelperEnd> m_end;
};

const std::vector<std::string> kThisVersion = {"--protocol-version=3"};

struct StartRow {
    std::string name;
    std::vector<std::string> arguments;
    BrowserMaker make;
    Answer first;
    int status;
};

void PrintTo(const StartRow& row, std::ostream* os) {
    *os << row.name;
}

class HelperStart : public ::testing::TestWithParam<StartRow> {};

TEST_P(HelperStart, AnswersReadyOrFatalFirst) {
    const StartRow& row = GetParam();
    HelperOnPipes helper(row.arguments, row.make);
    EXPECT_EQ(helper.window().next(10s), row.first);
    if (row.status == 0) {
        helper.closeInput();
    }
    // Nothing follows a Fatal: the helper ends by itself.
    const std::optional<HelperEnd> end = helper.end(3s);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->status, row.status);
    EXPECT_FALSE(end->threadsLeft);
}

const Site kBlankFails = {{u"about:blank", {.failure = u"navigation error 0x800401E4"}}};
const Site kBlankNeverCompletes = {{u"about:blank", {.complete = 24h}}};
constexpr char16_t kDoesNotLoad[] =
    u"the system's web browser control was created but does not load pages: its blank start "
    u"page ";

INSTANTIATE_TEST_SUITE_P(
    Rows, HelperStart,
    ::testing::Values(
        StartRow{"every_blank_page_complete", kThisVersion, FakeBrowsers(kSite), pageproto::Ready{},
                 0},
        StartRow{"window_of_another_version",
                 {"--protocol-version=2"},
                 FakeBrowsers(kSite),
                 pageproto::Fatal{u"window speaks version 2, this helper 3"},
                 1},
        StartRow{"control_cannot_be_made", kThisVersion,
                 [](BrowserEvents&) -> MadeBrowser {
                     return {nullptr,
                             u"the system's web browser control cannot be created "
                             u"(HRESULT 0x80040154)"};
                 },
                 pageproto::Fatal{u"the system's web browser control cannot be created "
                                  u"(HRESULT 0x80040154)"},
                 1},
        StartRow{
            "blank_page_fails", kThisVersion, FakeBrowsers(kBlankFails),
            pageproto::Fatal{kDoesNotLoad + std::u16string(u"failed: navigation error 0x800401E4")},
            1},
        StartRow{"blank_page_never_complete", kThisVersion, FakeBrowsers(kBlankNeverCompletes),
                 pageproto::Fatal{kDoesNotLoad + std::u16string(u"did not complete within 5 s")},
                 1}),
    testing::RowName{});

TEST(HelperPages, LoadsInFlightAnswerAsTheyFinishAndAReadSeesTheLivePage) {
    HelperOnPipes helper(kThisVersion, FakeBrowsers(kSite));
    testing::AnswerPipe& window = helper.window();
    ASSERT_EQ(window.next(10s), Answer{pageproto::Ready{}});
    window.send(LoadRequest{.id = 1, .page = 0, .timeLimitMs = 5000, .address = u"slow"});
    window.send(LoadRequest{.id = 2, .page = 1, .timeLimitMs = 5000, .address = u"fast"});
    window.send(LoadRequest{.id = 3, .page = 2, .timeLimitMs = 5000, .address = u"middle"});
    EXPECT_EQ(window.next(5s), Page(2, 1, Outcome::Loaded, u"document complete", u"fast page"));
    EXPECT_EQ(window.next(5s), Page(3, 2, Outcome::Loaded, u"document complete", u"middle page"));
    EXPECT_EQ(window.next(5s), Page(1, 0, Outcome::Loaded, u"document complete", u"slow page"));
    window.send(ReadRequest{.id = 4, .page = 1, .timeLimitMs = 5000});
    EXPECT_EQ(window.next(5s), Page(4, 1, Outcome::Loaded, {}, u"written later"));
    helper.closeInput();
    const std::optional<HelperEnd> end = helper.end(3s);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->status, 0);
    EXPECT_FALSE(end->threadsLeft);
}

TEST(HelperPages, AStuckPageTimesOutAtItsBoundWhileItsNeighboursAnswer) {
    HelperOnPipes helper(kThisVersion, FakeBrowsers(kSite));
    testing::AnswerPipe& window = helper.window();
    ASSERT_EQ(window.next(10s), Answer{pageproto::Ready{}});
    const auto start = Clock::now();
    window.send(LoadRequest{.id = 1, .page = 3, .timeLimitMs = 200, .address = u"hangs"});
    window.send(LoadRequest{.id = 2, .page = 0, .timeLimitMs = 5000, .address = u"fast"});
    EXPECT_EQ(window.next(5s), Page(2, 0, Outcome::Loaded, u"document complete", u"fast page"));
    EXPECT_LT(since(start), pageproto::LoadTime(200ms));
    EXPECT_EQ(window.next(10s),
              Page(1, 3, Outcome::TimedOut, u"no answer from the engine in time"));
    EXPECT_GE(since(start), pageproto::LoadTime(200ms));
    // The stuck thread is given up; a fresh one serves the page's next load.
    window.send(ReadRequest{.id = 3, .page = 3, .timeLimitMs = 5000});
    EXPECT_EQ(window.next(5s),
              Page(3, 3, Outcome::Unreadable, u"its control stopped answering and was given up"));
    window.send(LoadRequest{.id = 4, .page = 3, .timeLimitMs = 5000, .address = u"fast"});
    EXPECT_EQ(window.next(5s), Page(4, 3, Outcome::Loaded, u"document complete", u"fast page"));
}

TEST(HelperPages, AWindowGoneMidLoadEndsTheHelperWithoutWaitingForAStuckPage) {
    HelperOnPipes helper(kThisVersion, FakeBrowsers(kSite));
    testing::AnswerPipe& window = helper.window();
    ASSERT_EQ(window.next(10s), Answer{pageproto::Ready{}});
    window.send(LoadRequest{.id = 1, .page = 2, .timeLimitMs = 60000, .address = u"hangs"});
    window.send(LoadRequest{.id = 2, .page = 4, .timeLimitMs = 60000, .address = u"never"});
    EXPECT_EQ(window.next(1500ms), std::nullopt);
    // Waiting for the stuck page would take for ever.
    helper.closeInput();
    const std::optional<HelperEnd> end = helper.end(kThreadEnd + 4s);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->status, 0);
    EXPECT_TRUE(end->threadsLeft);
    EXPECT_EQ(window.next(0ms), std::nullopt);
}

}  // namespace
}  // namespace brevane::winpages
