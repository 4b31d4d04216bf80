// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in sites against a real HTTP client: pages, the request log, the
// addresses and every fault.
#include "standin/standin_sites.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <set>
#include <string>

namespace {

using namespace brevane::standin;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

httplib::Client ClientFor(const StandinSites& sites, Site site,
                          std::chrono::milliseconds readTimeout = 5s) {
    httplib::Client client("127.0.0.1", sites.port(site));
    client.set_connection_timeout(2s);
    client.set_read_timeout(readTimeout);
    return client;
}

const Page kPage{"<html><body><p>（数据来源自广东） <br>92#汽油价格7.12</p></body></html>",
                 "text/html; charset=utf-8"};

TEST(StandinSites, ServesEachSiteItsOwnPagesAndAnswers404Elsewhere) {
    StandinSites sites;
    sites.serve(Site::SiteA, "/guangdong.shtml",
                Page{"\xb9\xe3\xb6\xab", "text/html; charset=gbk"});

    auto siteA = ClientFor(sites, Site::SiteA);
    const auto page = siteA.Get("/guangdong.shtml");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->body, "\xb9\xe3\xb6\xab");
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=gbk");

    const auto missing = siteA.Get("/beijing.shtml");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);

    auto siteB = ClientFor(sites, Site::SiteB);
    const auto elsewhere = siteB.Get("/guangdong.shtml");
    ASSERT_TRUE(elsewhere);
    EXPECT_EQ(elsewhere->status, 404);
}

TEST(StandinSites, LogsEveryRequestInOrderOfArrivalWithItsSite) {
    StandinSites sites;
    sites.serve(Site::Location1, "/", kPage);
    ASSERT_TRUE(ClientFor(sites, Site::Location1).Get("/"));
    ASSERT_TRUE(ClientFor(sites, Site::SiteB).Get("/sanxi/"));
    ASSERT_TRUE(ClientFor(sites, Site::SiteA).Get("/guangdong/shenzhen.shtml?x=1"));
    ASSERT_TRUE(ClientFor(sites, Site::Location1).Head("/"));

    const std::vector<LoggedRequest> expected{
        {Site::Location1, "GET", "/"},
        {Site::SiteB, "GET", "/sanxi/"},
        {Site::SiteA, "GET", "/guangdong/shenzhen.shtml?x=1"},
        {Site::Location1, "HEAD", "/"},
    };
    EXPECT_EQ(sites.requests(), expected);

    sites.clearLog();
    EXPECT_TRUE(sites.requests().empty());
    ASSERT_EQ(ClientFor(sites, Site::Location1).Get("/")->status, 200);

    sites.reset();
    EXPECT_TRUE(sites.requests().empty());
    EXPECT_EQ(ClientFor(sites, Site::Location1).Get("/")->status, 404) << "reset forgets the pages";
}

TEST(StandinSites, AddressesNameSixDistinctLoopbackPortsAndTheUsualPaths) {
    StandinSites sites;
    std::set<int> ports;
    for (int i = 0; i < kSiteCount; ++i) {
        ports.insert(sites.port(static_cast<Site>(i)));
    }
    EXPECT_EQ(ports.size(), 6u);
    EXPECT_FALSE(ports.contains(0));

    const auto at = [&](Site site, std::string_view path) {
        const std::string url = sites.url(site, path);
        return std::u16string(url.begin(), url.end());
    };
    const brevane::WebAddresses addresses = sites.addresses();
    EXPECT_EQ(addresses.locationSource1, at(Site::Location1, "/"));
    EXPECT_EQ(addresses.locationSource2, at(Site::Location2, "/"));
    EXPECT_EQ(addresses.locationSource3, at(Site::Location3, "/ip.html"));
    EXPECT_EQ(addresses.siteARoot, at(Site::SiteA, "/"));
    EXPECT_EQ(addresses.siteBRoot, at(Site::SiteB, "/"));
    EXPECT_EQ(addresses.sponsor, at(Site::Sponsor, "/dashang.html"));
    EXPECT_EQ(sites.url(Site::SiteA, "/x"),
              "http://127.0.0.1:" + std::to_string(sites.port(Site::SiteA)) + "/x");
}

TEST(StandinSites, StopsAtOnceEvenRightAfterStarting) {
    // Destroying the sites just after making them must not wait on a server thread
    // that had not yet begun to listen.
    const auto start = Clock::now();
    for (int i = 0; i < 20; ++i) {
        StandinSites sites;
    }
    EXPECT_LT(Clock::now() - start, 10s);
}

struct AnsweringFault {
    const char* name;
    Fault fault;
    int status;
    std::string body;  ///< expected body; "*huge*" stands for page + filler
    std::chrono::milliseconds atLeast;
};

TEST(StandinSites, FaultsThatAnswerGiveTheirStatusBodyAndTiming) {
    const AnsweringFault cases[] = {
        {"not found", {FaultKind::NotFound}, 404, "", 0ms},
        {"server error", {FaultKind::ServerError}, 500, "", 0ms},
        {"empty body", {FaultKind::EmptyBody}, 200, "", 0ms},
        {"redirect", {FaultKind::Redirect, 0ms, "/beijing.shtml"}, 302, "", 0ms},
        {"delay sends the page late", {FaultKind::Delay, 300ms}, 200, kPage.body, 300ms},
        {"trickle sends the whole page slowly",
         {FaultKind::Trickle, 600ms},
         200,
         kPage.body,
         400ms},
        {"huge page", {FaultKind::Huge}, 200, "*huge*", 0ms},
    };
    StandinSites sites;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sites.reset();
        sites.serve(Site::SiteA, "/p.shtml", kPage);
        sites.fail(Site::SiteA, "/p.shtml", c.fault);

        const auto start = Clock::now();
        const auto response = ClientFor(sites, Site::SiteA).Get("/p.shtml");
        const auto elapsed = Clock::now() - start;
        ASSERT_TRUE(response) << httplib::to_string(response.error());
        EXPECT_EQ(response->status, c.status);
        EXPECT_GE(elapsed, c.atLeast);
        if (c.body == "*huge*") {
            EXPECT_EQ(response->body.size(), kPage.body.size() + kHugeFillerBytes);
            EXPECT_TRUE(response->body.starts_with(kPage.body));
        } else if (c.status == 200) {
            EXPECT_EQ(response->body, c.body);
        }
        if (c.fault.kind == FaultKind::Redirect) {
            EXPECT_EQ(response->get_header_value("Location"), "/beijing.shtml");
        }
        EXPECT_EQ(sites.requests().size(), 1u);
    }
}

TEST(StandinSites, ResetFaultResetsTheConnectionBeforeAnyByte) {
    StandinSites sites;
    sites.serve(Site::SiteB, "/guangdong/", kPage);
    sites.fail(Site::SiteB, "/guangdong/", {FaultKind::Reset});

    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(sites.port(Site::SiteB)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string request = "GET /guangdong/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_EQ(send(fd, request.data(), request.size(), 0), static_cast<ssize_t>(request.size()));

    char buffer[256];
    const ssize_t received = recv(fd, buffer, sizeof buffer, 0);
    const int error = errno;
    close(fd);
    EXPECT_EQ(received, -1);
    EXPECT_EQ(error, ECONNRESET);

    // The server goes on serving after a reset.
    sites.serve(Site::SiteB, "/beijing/", kPage);
    const auto next = ClientFor(sites, Site::SiteB).Get("/beijing/");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 200);
}

/// Waits until `sites` has received `count` requests in all.
void AwaitRequests(const StandinSites& sites, std::size_t count) {
    const auto start = Clock::now();
    while (sites.requests().size() < count && Clock::now() - start < 5s) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_GE(sites.requests().size(), count);
}

TEST(StandinSites, HungRequestNeverAnswersUntilResetOrShutdown) {
    auto sites = std::make_unique<StandinSites>();
    sites->fail(Site::SiteA, "/hang.shtml", {FaultKind::Hang});

    const auto start = Clock::now();
    const auto timedOut = ClientFor(*sites, Site::SiteA, 300ms).Get("/hang.shtml");
    EXPECT_FALSE(timedOut);
    EXPECT_GE(Clock::now() - start, 300ms);

    // reset() lets a hung request go: the client sees the connection end.
    auto released = std::async(std::launch::async, [&] {
        return ClientFor(*sites, Site::SiteA, 30s).Get("/hang.shtml").error();
    });
    AwaitRequests(*sites, 2);
    sites->reset();
    ASSERT_EQ(released.wait_for(5s), std::future_status::ready);
    EXPECT_NE(released.get(), httplib::Error::Success);

    // Shutting down does not wait for hung requests either.
    sites->fail(Site::SiteA, "/hang.shtml", {FaultKind::Hang});
    auto pending = std::async(std::launch::async, [&] {
        return ClientFor(*sites, Site::SiteA, 30s).Get("/hang.shtml").error();
    });
    AwaitRequests(*sites, 1);
    const auto stopping = Clock::now();
    sites = nullptr;
    EXPECT_LT(Clock::now() - stopping, 3s);
    ASSERT_EQ(pending.wait_for(5s), std::future_status::ready);
    EXPECT_NE(pending.get(), httplib::Error::Success);
}

}  // namespace
