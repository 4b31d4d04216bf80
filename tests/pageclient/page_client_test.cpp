// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's page policy over a scripted channel: helpers that answer out of order, end
// with loads in flight, hang, cannot start, break the protocol, and a run aborted.
#include "pageclient/page_client.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace brevane {
namespace {

using namespace std::chrono_literals;
using pageproto::Answer;
using pageproto::Outcome;

/// A channel whose helpers follow a script, on a clock of its own: what a helper sends
/// arrives during waits, at the time the script gives it, and a wait with nothing due
/// passes its whole time at once.
class ScriptedChannel final : public HelperChannel {
public:
    /// How the helpers behave, from the one started next on.
    enum class Mode {
        Serve,            ///< Ready, then each load's page after its delay
        Hang,             ///< Ready, then nothing
        CannotStart,      ///< ends as it starts
        ExitAtOnce,       ///< says why on standard error and exits
        Fatal,            ///< Fatal
        GarbageFirst,     ///< a malformed frame instead of Ready
        OtherVersion,     ///< Ready of another version
        PageBeforeReady,  ///< answers a load before its Ready
        BadAnswer,        ///< Ready, then `badAnswer` for the first request
    };

    void setListener(Listener* listener) override { m_listener = listener; }
    void start(const std::vector<std::string>& arguments) override {
        ++starts;
        lastArguments = arguments;
        m_running = true;
        ++m_helper;
        switch (mode) {
            case Mode::CannotStart:
                m_running = false;
                m_listener->helperEnded("its page helper cannot be started");
                return;
            case Mode::ExitAtOnce:
                arrive(0ms, Event::Error, "no engine here\n");
                arrive(0ms, Event::Ended, "its page helper exited with code 1");
                return;
            case Mode::Fatal:
                send(Answer{pageproto::Fatal{u"sandbox unavailable"}});
                return;
            case Mode::GarbageFirst:
                arrive(0ms, Event::Output, std::string("\x03\0\0\0\x05\x05\x05", 7));
                return;
            case Mode::OtherVersion:
                send(Answer{pageproto::Ready{.version = 2}});
                return;
            case Mode::PageBeforeReady:
                return;
            default:
                send(Answer{pageproto::Ready{}});
        }
    }
    void write(std::string_view bytes) override {
        m_requests.append(bytes);
        while (const auto payload = m_requests.next()) {
            const pageproto::Request request = pageproto::ParseRequest(*payload).value();
            requests.push_back(request);
            respond(request);
        }
    }
    void end(Ending how) override {
        ends.push_back(how);
        m_running = false;
        std::erase_if(m_events, [this](const Event& e) { return e.helper == m_helper; });
    }
    std::int64_t processId() const override { return m_running ? 1000 + m_helper : 0; }
    void waitUntil(const std::function<bool()>& done, Clock::time_point deadline) override {
        while (!done()) {
            auto next = m_events.begin();
            for (auto it = m_events.begin(); it != m_events.end(); ++it) {
                next = it->at < next->at ? it : next;
            }
            if (next == m_events.end() || next->at > deadline) {
                m_now = std::max(m_now, deadline);
                return;
            }
            const Event event = *next;
            m_events.erase(next);
            m_now = std::max(m_now, event.at);
            deliver(event);
        }
    }
    void wake() override {}
    Clock::time_point now() const override { return m_now; }

    /// The page each address gives, and how long it takes.
    void serve(std::u16string address, std::u16string text, std::chrono::milliseconds delay = 0ms) {
        m_pages[std::move(address)] = {std::move(text), delay};
    }
    /// The helper running now dies `after` from now.
    void dieAfter(std::chrono::milliseconds after) {
        arrive(after, Event::Ended, "its page helper crashed");
    }

    Mode mode = Mode::Serve;
    std::string badAnswer;  ///< frame bytes; "" answers with a frame for another page
    int starts = 0;
    std::vector<std::string> lastArguments;
    std::vector<pageproto::Request> requests;
    std::vector<Ending> ends;

private:
    struct Event {
        enum Kind { Output, Error, Ended } kind;
        Clock::time_point at;
        std::string bytes;
        int helper = 0;
    };

    void arrive(std::chrono::milliseconds after, Event::Kind kind, std::string bytes) {
        m_events.push_back({kind, m_now + after, std::move(bytes), m_helper});
    }
    void send(const Answer& answer, std::chrono::milliseconds after = 0ms) {
        arrive(after, Event::Output, pageproto::Frame(answer));
    }
    void deliver(const Event& event) {
        switch (event.kind) {
            case Event::Output:
                m_listener->helperOutput(event.bytes);
                break;
            case Event::Error:
                m_listener->helperErrorOutput(event.bytes);
                break;
            case Event::Ended:
                m_running = false;
                std::erase_if(m_events, [&](const Event& e) { return e.helper == event.helper; });
                m_listener->helperEnded(event.bytes);
                break;
        }
    }
    void respond(const pageproto::Request& request) {
        const auto id = std::visit([](const auto& r) { return r.id; }, request);
        const auto page = std::visit([](const auto& r) { return r.page; }, request);
        pageproto::PageAnswer answer{.id = id, .page = page, .outcome = Outcome::Loaded};
        if (mode == Mode::BadAnswer) {
            mode = Mode::Hang;
            ++answer.page %= pageproto::kPageCount;
            arrive(0ms, Event::Output,
                   badAnswer.empty() ? pageproto::Frame(Answer{answer}) : badAnswer);
            return;
        }
        if (mode == Mode::PageBeforeReady) {
            send(Answer{answer});
            return;
        }
        if (mode != Mode::Serve) {
            return;
        }
        if (const auto* load = std::get_if<pageproto::LoadRequest>(&request)) {
            const auto served = m_pages.find(load->address);
            if (served != m_pages.end()) {
                answer.text = served->second.first;
                send(Answer{answer}, served->second.second);
            }  // else it hangs
        } else {
            answer.text = u"live";
            send(Answer{answer});
        }
    }

    Listener* m_listener = nullptr;
    Clock::time_point m_now{};
    bool m_running = false;
    int m_helper = 0;
    std::deque<Event> m_events;
    pageproto::FrameReader m_requests;
    std::map<std::u16string, std::pair<std::u16string, std::chrono::milliseconds>> m_pages;
};

struct Lines : LogSink {
    void Line(LogCategory category, std::string_view line) override {
        lines.push_back(std::string(CategoryName(category)) + ": " + std::string(line));
    }
    std::vector<std::string> lines;
};

class PageClientTest : public ::testing::Test {
protected:
    PageClientTest() {
        pages.setEngineFailedHandler([this](const std::string& why) { failures.push_back(why); });
        pages.setTimeLimit(1000ms);
    }
    ScriptedChannel channel;
    Lines log;
    PageClient pages{channel, log, {.loopbackOnly = true, .extraArguments = {"--x"}}};
    std::vector<std::string> failures;
};

TEST_F(PageClientTest, LoadsSaidAheadRunSideBySideAndAnEndedHelperCostsOnlyTheAwaitedOne) {
    channel.serve(u"http://t/slow", u"slow", 800ms);
    channel.serve(u"http://t/fast", u"fast");
    pages.start();
    EXPECT_EQ(channel.lastArguments,
              (std::vector<std::string>{"--protocol-version=3", "--loopback-only", "--x"}));
    pages.Expect(Control::Web_YouJia, u"http://t/slow");
    pages.Expect(Control::Web_IP, u"http://t/fast");
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, u"http://t/slow"), u"slow");
    const auto before = channel.now();
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, u"http://t/fast"), u"fast");
    EXPECT_EQ(channel.now(), before) << "it had come while the slow one was awaited";
    EXPECT_EQ(pages.ReadPageText(Control::Web_IP), u"live") << "the helper reads its live page";

    // A helper that dies with loads in flight fails only the one waited for; the other is
    // sent again, to a fresh helper, when its turn comes.
    channel.serve(u"http://t/silent", u"never", 1h);
    pages.Expect(Control::Web_QiYouJiaGe, u"http://t/silent");
    pages.Expect(Control::Web_YouJia_2, u"http://t/slow");
    channel.dieAfter(100ms);
    EXPECT_EQ(pages.LoadPage(Control::Web_QiYouJiaGe, u"http://t/silent"), u"");
    EXPECT_EQ(pages.ReadPageText(Control::Web_IP), u"fast") << "kept from its load";
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia_2, u"http://t/slow"), u"slow");
    EXPECT_EQ(channel.starts, 2);
    EXPECT_EQ(channel.requests.size(), 6u);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(log.lines.front(),
              "brevane.pages: Web_YouJia http://t/slow loaded in 800 ms, 4 characters");
}

TEST_F(PageClientTest, AHelperThatHangsIsEndedAtItsBoundAndTheNextLoadStartsAFreshOne) {
    channel.mode = ScriptedChannel::Mode::Hang;
    pages.start();
    const auto start = channel.now();
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, u"http://t/a"), u"");
    // The helper's own bound for a load, the margin, and the start allowance: no Ready had
    // come when the load was sent.
    EXPECT_EQ(channel.now() - start, pageproto::LoadTime(1000ms) + pageproto::kAnswerMargin + 10s);
    EXPECT_EQ(channel.ends, std::vector{HelperChannel::Ending::Kill});
    EXPECT_EQ(log.lines.back(),
              "brevane.pages: Web_IP http://t/a timed out (page helper gave no "
              "answer in time) in 20000 ms, 0 characters");
    channel.mode = ScriptedChannel::Mode::Serve;
    channel.serve(u"http://t/b", u"b");
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, u"http://t/b"), u"b");
    EXPECT_EQ(channel.starts, 2);
    EXPECT_TRUE(failures.empty());
}

TEST_F(PageClientTest, AnEngineThatCannotRunEmptiesEveryLoadAtOnceAndSaysWhyOnce) {
    using Mode = ScriptedChannel::Mode;
    const struct {
        const char* name;
        Mode mode;
        const char* why;
    } rows[] = {
        {"cannot_be_started", Mode::CannotStart,
         "the browser engine could not start: its page helper cannot be started"},
        {"exits_at_once", Mode::ExitAtOnce,
         "the browser engine could not start: its page helper exited with code 1 (it said: no "
         "engine here)"},
        {"reports_a_fatal_error", Mode::Fatal, "sandbox unavailable"},
        {"sends_garbage_first", Mode::GarbageFirst,
         "the browser engine could not start: its page helper sent a malformed answer"},
        {"of_another_version", Mode::OtherVersion,
         "the browser engine could not start: its page helper broke the handshake: page helper "
         "speaks version 2, this window 3"},
        {"answers_before_ready", Mode::PageBeforeReady,
         "the browser engine could not start: its page helper broke the handshake: a page "
         "answer before Ready"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedChannel broken;
        broken.mode = row.mode;
        PageClient client(broken, log);
        std::vector<std::string> said;
        client.setEngineFailedHandler([&said](const std::string& why) { said.push_back(why); });
        client.start();
        EXPECT_EQ(client.LoadPage(Control::Web_IP, u"http://t/"), u"");
        const auto second = broken.now();
        EXPECT_EQ(client.LoadPage(Control::Web_YouJia, u"http://t/"), u"");
        EXPECT_EQ(broken.now(), second);
        EXPECT_EQ(client.helperProcessId(), 0);
        EXPECT_EQ(broken.starts, 1);
        EXPECT_EQ(said, std::vector<std::string>{row.why});
    }
}

TEST_F(PageClientTest, AMalformedOrUnexpectedAnswerIsAFailedLoadAndEndsTheHelper) {
    pageproto::PageAnswer loaded{.id = 1, .outcome = Outcome::Loaded, .text = u"must not show"};
    const std::string frame = pageproto::Frame(Answer{loaded});
    ++loaded.id;
    std::string leftOver = frame + "x";
    ++leftOver[0];
    const struct {
        const char* name;
        std::string answer;
    } rows[] = {
        {"for_another_page", ""},
        {"truncated_frame", frame.substr(0, frame.size() / 2)},
        {"absurd_length", std::string("\xff\xff\xff\x7f", 4) + frame},
        {"wrong_id", pageproto::Frame(Answer{loaded})},
        {"garbage", std::string("\x10\0\0\0", 4) + std::string(16, '\xab')},
        {"unknown_kind", std::string("\x01\0\0\0\x7f", 5)},
        {"bytes_left_over", leftOver},
        {"second_ready", pageproto::Frame(Answer{pageproto::Ready{}})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedChannel broken;
        broken.mode = ScriptedChannel::Mode::BadAnswer;
        broken.badAnswer = row.answer;
        PageClient client(broken, log);
        client.setEngineFailedHandler([](const std::string& why) { ADD_FAILURE() << why; });
        client.start();
        EXPECT_EQ(client.LoadPage(Control::Web_IP, u"http://t/"), u"");
        EXPECT_EQ(broken.ends, std::vector{HelperChannel::Ending::Kill});
    }
}

TEST_F(PageClientTest, AbortEndsTheWaitAndTheHelperReleaseEndsItGently) {
    pages.start();
    channel.dieAfter(1h);  // nothing else would end the wait
    pages.abort();
    EXPECT_THROW(pages.LoadPage(Control::Web_IP, u"http://t/"), RunAborted);
    EXPECT_THROW(pages.ReadPageText(Control::Web_IP), RunAborted);
    EXPECT_EQ(channel.ends, std::vector{HelperChannel::Ending::Kill});
    EXPECT_EQ(pages.helperProcessId(), 0);

    ScriptedChannel gentle;
    PageClient released(gentle, log);
    gentle.serve(u"http://t/", u"kept");
    EXPECT_EQ(released.LoadPage(Control::Web_YouJia, u"http://t/"), u"kept");
    released.release();
    EXPECT_EQ(gentle.ends, std::vector{HelperChannel::Ending::CloseInput});
    const auto after = gentle.now();
    EXPECT_EQ(released.LoadPage(Control::Web_IP, u"http://t/"), u"");
    EXPECT_EQ(released.ReadPageText(Control::Web_YouJia), u"kept");
    EXPECT_EQ(gentle.now(), after);
    EXPECT_EQ(gentle.requests.size(), 1u);
}

}  // namespace
}  // namespace brevane
