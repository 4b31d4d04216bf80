// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page client over the Qt channel, with the real page helper against web servers on
// 127.0.0.1, and with this program standing in for helpers that exit, crash or refuse.
#include "platform/qt_helper_channel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "pageclient/page_client.h"
#include "pageproto/page_protocol.h"
#include "standin/process_tree.h"
#include "support/elapsed.h"
#include "support/local_http_server.h"
#include "test_page_helper.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using testing::Clock;
using testing::LocalHttpServer;
using testing::since;

struct NoLog : LogSink {
    void Line(LogCategory, std::string_view) override {}
};

/// A page client on the Qt channel, with the reasons it gives for an engine that cannot run.
struct Client {
    explicit Client(const PageHelperLaunch& launch)
        : channel(launch.program), pages(channel, log, launch.options()) {
        pages.setEngineFailedHandler([this](const std::string& why) { failures.push_back(why); });
    }
    NoLog log;
    QtHelperChannel channel;
    PageClient pages;
    std::vector<std::string> failures;
};

bool Alive(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == 0;
}

/// Lets the event loop run until `done` holds, at most `limit`.
template <typename Condition>
bool Eventually(Condition done, std::chrono::milliseconds limit = 5s) {
    for (const auto start = Clock::now(); !done() && since(start) < limit;) {
        QEventLoop pause;
        QTimer::singleShot(20ms, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return done();
}

TEST(HelperChannel, ServesTheRunAndEndsWithItLeavingNoProcess) {
    LocalHttpServer server;
    server.serve("/page", "<html><body>page</body></html>");
    server.serveSilence("/silent");
    server.start();

    Client client(TestPageHelper());
    PageClient& pages = client.pages;
    pages.setTimeLimit(20s);
    pages.start();
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, server.url("/page")), u"page");

    // Killed while a page hangs, as the system may do to it: that load fails at once, and
    // the next starts a fresh helper.
    const auto first = static_cast<pid_t>(pages.helperProcessId());
    QTimer whenAsked;
    QObject::connect(&whenAsked, &QTimer::timeout, &client.channel, [&server, first] {
        if (server.count("/silent") > 0) {
            ::kill(first, SIGKILL);
        }
    });
    whenAsked.start(20ms);
    const auto start = Clock::now();
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, server.url("/silent")), u"");
    whenAsked.stop();
    EXPECT_LT(since(start), 5s);
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, server.url("/page")), u"page");
    EXPECT_NE(pages.helperProcessId(), first);
    EXPECT_TRUE(client.failures.empty());

    // The helper ends with everything its engine ran.
    const std::vector<pid_t> engine =
        standin::ProcessTree(static_cast<pid_t>(pages.helperProcessId()));
    EXPECT_GT(engine.size(), 1u);
    pages.release();
    EXPECT_TRUE(
        Eventually([&engine] { return std::none_of(engine.begin(), engine.end(), Alive); }));
}

TEST(HelperChannel, AHelperThatCannotRunSaysWhyThroughTheChannel) {
    const QString self = QCoreApplication::applicationFilePath();
    PageHelperLaunch versionTwo = TestPageHelper();
    versionTwo.extraArguments << QString::fromStdString(pageproto::VersionArgument(2));
    const struct {
        const char* name;
        PageHelperLaunch helper;
        const char* why;
    } rows[] = {
        {"cannot_be_started",
         {.program = QStringLiteral("/nonexistent/brevane-pages")},
         "the browser engine could not start: its page helper /nonexistent/brevane-pages cannot "
         "be started"},
        {"exits_saying_why_on_standard_error",
         {.program = self, .extraArguments = {"--fake-page-helper=exit"}},
         "the browser engine could not start: its page helper exited with code 1 (it said: no "
         "engine here)"},
        {"crashes_before_it_is_up",
         {.program = self, .extraArguments = {"--fake-page-helper=crash"}},
         "the browser engine could not start: its page helper crashed"},
        {"real_helper_of_another_version", versionTwo, "window speaks version 2, this helper 3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Client client(row.helper);
        client.pages.start();
        EXPECT_EQ(client.pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), u"");
        ASSERT_EQ(client.failures.size(), 1u);
        EXPECT_TRUE(client.failures[0].starts_with(row.why)) << client.failures[0];
    }
}

TEST(HelperChannel, AHelperThatCrashesOnceUpCostsOnlyItsLoad) {
    Client client({.program = QCoreApplication::applicationFilePath(),
                   .extraArguments = {"--fake-page-helper=crash_on_request"}});
    client.pages.start();
    EXPECT_EQ(client.pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), u"");
    EXPECT_EQ(client.pages.helperProcessId(), 0);
    EXPECT_TRUE(client.failures.empty());
}

/// Plays a page helper as `mode` says.
int FakePageHelper(std::string_view mode) {
    using namespace pageproto;
    if (mode == "exit") {
        std::fputs("no engine here\n", stderr);
        return 1;
    }
    if (mode == "crash") {
        std::abort();
    }
    const std::string ready = Frame(Answer{Ready{}});
    if (::write(STDOUT_FILENO, ready.data(), ready.size()) != ssize_t(ready.size())) {
        return 2;
    }
    FrameReader reader;
    char buffer[4096];
    for (ssize_t n = 0; (n = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0;) {
        reader.append(std::string_view(buffer, static_cast<std::size_t>(n)));
        if (reader.next()) {
            std::abort();
        }
    }
    return 0;
}

}  // namespace
}  // namespace brevane

int main(int argc, char** argv) {
    constexpr std::string_view kFake = "--fake-page-helper=";
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(kFake)) {
            return brevane::FakePageHelper(std::string_view(argv[i]).substr(kFake.size()));
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
