// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's side of the protocol with a scripted engine: the handshake, answers in
// the order requests finish, a request superseded or out of time, and output written in pieces.
#include "pageserve/page_service.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/page_answer.h"

namespace brevane::pageserve {
namespace {

using namespace std::chrono_literals;
using pageproto::Answer;
using testing::Page;

/// Keeps each page's request until the test ends it.
struct ScriptedEngine : PageEngine {
    void Load(PageNumber page, std::u16string_view address, std::chrono::milliseconds,
              Done done) override {
        calls.push_back("load " + std::to_string(page) + " " +
                        std::string(address.begin(), address.end()));
        pending[page] = std::move(done);
    }
    void Read(PageNumber page, std::chrono::milliseconds, Done done) override {
        calls.push_back("read " + std::to_string(page));
        pending[page] = std::move(done);
    }
    void Abandon(PageNumber page) override { calls.push_back("abandon " + std::to_string(page)); }
    void finish(PageNumber page, PageResult result) {
        const Done done = std::move(pending.at(page));
        pending.erase(page);
        done(std::move(result));
    }
    std::vector<std::string> calls;
    std::map<PageNumber, Done> pending;
};

class PageServiceTest : public ::testing::Test {
protected:
    void send(const pageproto::Request& request) {
        EXPECT_TRUE(service.receive(pageproto::Frame(request)));
    }
    /// Everything queued so far, parsed, with the output drained in pieces of 3 bytes.
    std::vector<Answer> answers() {
        pageproto::FrameReader reader;
        for (std::string_view out = service.outgoing(); !out.empty(); out = service.outgoing()) {
            reader.append(out.substr(0, 3));
            service.written(std::min<std::size_t>(out.size(), 3));
        }
        std::vector<Answer> parsed;
        while (const auto payload = reader.next()) {
            parsed.push_back(pageproto::ParseAnswer(*payload).value());
        }
        return parsed;
    }
    PageService::Clock::time_point now{};
    ScriptedEngine engine;
    PageService service{engine, [this] { return now; }};
};

TEST_F(PageServiceTest, ReadyComesOnceBeforeAnyPageAndNothingAfterARefusal) {
    send(pageproto::LoadRequest{.id = 1, .page = 0, .timeLimitMs = 100, .address = u"u"});
    engine.finish(0, {Outcome::Loaded, u"200", u"text"});
    service.engineUp();
    EXPECT_EQ(answers(), (std::vector<Answer>{pageproto::Ready{},
                                              Page(1, 0, Outcome::Loaded, u"200", u"text")}));
    service.refuse(u"no engine");
    EXPECT_FALSE(service.receive(
        pageproto::Frame(pageproto::ReadRequest{.id = 2, .page = 0, .timeLimitMs = 100})));
    EXPECT_EQ(answers(), (std::vector<Answer>{pageproto::Fatal{u"no engine"}}));
    EXPECT_TRUE(service.stopped());
}

TEST_F(PageServiceTest, RequestsEndInTheOrderTheyFinishSupersededOrOutOfTime) {
    service.engineUp();
    send(pageproto::LoadRequest{.id = 1, .page = 1, .timeLimitMs = 1000, .address = u"a"});
    send(pageproto::LoadRequest{.id = 2, .page = 3, .timeLimitMs = 1000, .address = u"b"});
    send(pageproto::LoadRequest{.id = 3, .page = 2, .timeLimitMs = 1000, .address = u"c"});
    engine.finish(3, {Outcome::Loaded, {}, u"b"});
    // A new request for a page ends the one still in progress.
    send(pageproto::ReadRequest{.id = 4, .page = 1, .timeLimitMs = 1000});
    EXPECT_EQ(service.nextDeadline(), now + pageproto::ReadTime(1000ms));
    // Page 2 never answers; page 1's read still does, before page 2 runs out of time.
    engine.finish(1, {Outcome::Loaded, {}, u"live"});
    now += pageproto::LoadTime(1000ms);
    service.expire();
    EXPECT_EQ(service.nextDeadline(), std::nullopt);
    engine.finish(2, {Outcome::Loaded, {}, u"too late"});
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"load 1 a", "load 3 b", "load 2 c",
                                                      "abandon 1", "read 1", "abandon 2"}));
    EXPECT_EQ(answers(), (std::vector<Answer>{
                             pageproto::Ready{}, Page(2, 3, Outcome::Loaded, {}, u"b"),
                             Page(1, 1, Outcome::Failed, u"another request for this page came"),
                             Page(4, 1, Outcome::Loaded, {}, u"live"),
                             Page(3, 2, Outcome::TimedOut, u"no answer from the engine in time")}));
}

TEST_F(PageServiceTest, AMalformedFrameStopsTheService) {
    EXPECT_FALSE(service.receive(std::string("\x01\0\0\0\x7f", 5)));
    EXPECT_TRUE(service.stopped());
    EXPECT_FALSE(service.receive(
        pageproto::Frame(pageproto::ReadRequest{.id = 1, .page = 0, .timeLimitMs = 1})));
    EXPECT_TRUE(engine.calls.empty());
}

}  // namespace
}  // namespace brevane::pageserve
