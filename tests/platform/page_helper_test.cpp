// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the window's side of the page helper against web servers on 127.0.0.1: with the
// real page helper, and with this program standing in for a broken one.
#include "platform/page_helper.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "pageproto/page_protocol.h"
#include "standin/process_tree.h"
#include "support/local_http_server.h"
#include "test_page_helper.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::LocalHttpServer;

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

/// Failures of the engine that the pages reported, with their reasons.
struct EngineFailures {
    explicit EngineFailures(HelperPages& pages) {
        QObject::connect(&pages, &HelperPages::engineFailed, &pages,
                         [this](const QString& reason) { reasons.push_back(reason); });
    }
    std::vector<QString> reasons;
};

bool Alive(qint64 pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

TEST(PageHelper, ServesTheRunAndEndsWithItLeavingNoProcess) {
    LocalHttpServer server;
    server.serve("/page", "<html><body>page</body></html>");
    server.serveSilence("/silent");
    server.start();

    HelperPages pages(TestPageHelper());
    const EngineFailures failures(pages);
    pages.setTimeLimit(20s);
    pages.start();
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, server.url("/page")), u"page");

    // Killed while a page hangs, as the system may do to it: that load fails at once, and
    // the next starts a fresh helper.
    const qint64 first = pages.helperProcessId();
    QTimer whenAsked;
    QObject::connect(&whenAsked, &QTimer::timeout, &pages, [&server, first] {
        if (server.count("/silent") > 0) {
            ::kill(static_cast<pid_t>(first), SIGKILL);
        }
    });
    whenAsked.start(20ms);
    auto start = Clock::now();
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, server.url("/silent")), u"");
    whenAsked.stop();
    EXPECT_LT(since(start), 5s);
    EXPECT_EQ(pages.ReadPageText(Control::Web_IP), u"page") << "kept from its load";
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, server.url("/page")), u"page");
    EXPECT_NE(pages.helperProcessId(), first);
    EXPECT_TRUE(failures.reasons.empty());

    const qint64 second = pages.helperProcessId();
    const std::vector<pid_t> engine = standin::ProcessTree(static_cast<pid_t>(second));
    EXPECT_GT(engine.size(), 1u);
    pages.release();
    start = Clock::now();
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, server.url("/page")), u"");
    EXPECT_LT(since(start), 100ms);
    EXPECT_EQ(pages.ReadPageText(Control::Web_YouJia), u"page");
    // The helper ends with everything its engine ran.
    const auto anyAlive = [&engine] {
        return std::any_of(engine.begin(), engine.end(), [](pid_t pid) { return Alive(pid); });
    };
    while (anyAlive() && since(start) < 3s) {
        QEventLoop pause;
        QTimer::singleShot(20ms, &pause, &QEventLoop::quit);
        pause.exec();
    }
    EXPECT_FALSE(anyAlive());
}

TEST(PageHelper, LoadsSaidAheadRunSideBySideAndAnEndedHelperCostsOnlyTheAwaitedOne) {
    LocalHttpServer server;
    server.serve("/fast", "<html><body>fast</body></html>");
    server.serve("/slow", "<html><body>slow</body></html>", "text/html", 200, 800ms);
    server.serveSilence("/silent");
    server.start();

    HelperPages pages(TestPageHelper());
    pages.start();
    {
        SCOPED_TRACE("answers out of order, each reaching its own load");
        pages.Expect(Control::Web_YouJia, server.url("/slow"));
        pages.Expect(Control::Web_IP, server.url("/fast"));
        EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, server.url("/slow")), u"slow");
        const auto start = Clock::now();
        EXPECT_EQ(pages.LoadPage(Control::Web_IP, server.url("/fast")), u"fast");
        EXPECT_LT(since(start), 100ms) << "it had come while the slow one was awaited";
        EXPECT_EQ(server.count("/fast"), 1);
        EXPECT_EQ(server.count("/slow"), 1);
    }
    {
        SCOPED_TRACE("a helper killed with loads in flight fails only the one waited for");
        pages.Expect(Control::Web_QiYouJiaGe, server.url("/silent"));
        pages.Expect(Control::Web_YouJia_2, server.url("/slow"));
        const qint64 first = pages.helperProcessId();
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &pages, [&server, first] {
            if (server.count("/silent") > 0 && server.count("/slow") > 1) {
                ::kill(static_cast<pid_t>(first), SIGKILL);
            }
        });
        timer.start(20ms);
        EXPECT_EQ(pages.LoadPage(Control::Web_QiYouJiaGe, server.url("/silent")), u"");
        timer.stop();
        EXPECT_EQ(pages.LoadPage(Control::Web_YouJia_2, server.url("/slow")), u"slow");
        EXPECT_NE(pages.helperProcessId(), first);
    }
}

TEST(PageHelper, AHelperWhoseEngineCannotStartEmptiesEveryLoadAndSaysWhyOnce) {
    struct Row {
        const char* name;
        PageHelperLaunch helper;
        const char* cause;
    };
    const QString self = QCoreApplication::applicationFilePath();
    const std::vector<Row> rows = {
        {"exits_at_once",
         {.program = self, .extraArguments = {"--fake-page-helper=exit"}},
         "exited with code 1 (it said: no engine here)"},
        {"reports_a_fatal_error",
         {.program = self, .extraArguments = {"--fake-page-helper=fatal"}},
         "sandbox unavailable"},
        {"cannot_be_started",
         {.program = QStringLiteral("/nonexistent/brevane-pages")},
         "cannot be started"},
        {"sends_garbage_first",
         {.program = self, .extraArguments = {"--fake-page-helper=garbage_first"}},
         "malformed answer"},
        {"of_another_version",
         {.program = self, .extraArguments = {"--fake-page-helper=first_version"}},
         "page helper of version 1, expected 2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HelperPages pages(row.helper);
        const EngineFailures failures(pages);
        pages.start();
        const auto start = Clock::now();
        EXPECT_EQ(pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), u"");
        EXPECT_LT(since(start), 5s);
        const auto second = Clock::now();
        EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, u"http://127.0.0.1:9/"), u"");
        EXPECT_LT(since(second), 100ms);
        EXPECT_EQ(pages.helperProcessId(), 0);
        ASSERT_EQ(failures.reasons.size(), 1u);
        EXPECT_TRUE(failures.reasons[0].contains(QLatin1String(row.cause)))
            << failures.reasons[0].toStdString();
    }
}

TEST(PageHelper, AMalformedOrUnexpectedAnswerIsAFailedLoad) {
    const char* const modes[] = {
        "truncated_frame", "absurd_length", "wrong_control",   "wrong_id",
        "garbage",         "unknown_kind",  "bytes_left_over",
    };
    for (const char* mode : modes) {
        SCOPED_TRACE(mode);
        HelperPages pages({.program = QCoreApplication::applicationFilePath(),
                           .extraArguments = {QStringLiteral("--fake-page-helper=%1").arg(mode)}});
        const EngineFailures failures(pages);
        pages.start();
        const auto start = Clock::now();
        EXPECT_EQ(pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), u"");
        EXPECT_LT(since(start), 5s);
        EXPECT_EQ(pages.helperProcessId(), 0) << "the helper that broke the protocol is ended";
        EXPECT_TRUE(failures.reasons.empty()) << "its engine had started";
    }
}

TEST(PageHelper, AbortEndsTheWaitTheHelperAndEveryLaterCall) {
    LocalHttpServer server;
    server.serveSilence("/silent");
    server.start();

    HelperPages pages(TestPageHelper());
    QTimer whenAsked;
    QObject::connect(&whenAsked, &QTimer::timeout, &pages, [&server, &pages] {
        if (server.count("/silent") > 0) {
            pages.abort();
        }
    });
    whenAsked.start(20ms);
    const auto start = Clock::now();
    EXPECT_THROW(pages.LoadPage(Control::Web_IP, server.url("/silent")), RunAborted);
    EXPECT_LT(since(start), 5s);
    EXPECT_EQ(pages.helperProcessId(), 0);
    EXPECT_THROW(pages.ReadPageText(Control::Web_IP), RunAborted);
}

// --- A page helper that breaks the protocol ---------------------------------------------------

std::string ReadExactly(int fd, std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.data() + got, size - got);
        if (n <= 0) {
            std::_Exit(0);
        }
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

void Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n <= 0) {
            std::_Exit(0);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

/// Plays a page helper that answers its first request as `mode` says, then waits for its
/// end.
int FakePageHelper(std::string_view mode) {
    using namespace pageproto;
    if (mode == "exit") {
        std::fputs("no engine here\n", stderr);
        return 1;
    }
    if (mode == "fatal") {
        Write(Frame(Answer{Fatal{u"sandbox unavailable"}}));
        return 1;
    }
    if (mode == "garbage_first") {
        Write(std::string("\x03\0\0\0\x05\x05\x05", 7));
    } else if (mode == "first_version") {
        Write(Frame(Answer{Ready{.version = 1}}));
    } else {
        Write(Frame(Answer{Ready{}}));
    }
    const std::string length = ReadExactly(STDIN_FILENO, 4);
    const auto size = static_cast<std::size_t>(static_cast<unsigned char>(length[0])) |
                      static_cast<std::size_t>(static_cast<unsigned char>(length[1])) << 8 |
                      static_cast<std::size_t>(static_cast<unsigned char>(length[2])) << 16;
    const std::optional<Request> request = ParseRequest(ReadExactly(STDIN_FILENO, size));
    const auto* load = request ? std::get_if<LoadRequest>(&*request) : nullptr;
    if (load == nullptr) {
        return 2;
    }
    PageAnswer page{.id = load->id,
                    .control = load->control,
                    .outcome = Outcome::Loaded,
                    .text = u"must not be shown"};
    std::string frame = Frame(Answer{page});
    if (mode == "truncated_frame") {
        Write(frame.substr(0, frame.size() / 2));
        return 0;
    }
    if (mode == "absurd_length") {
        Write(std::string("\xff\xff\xff\x7f", 4) + frame);
    } else if (mode == "wrong_control") {
        page.control = Control::Web_YouJia_2;
        Write(Frame(Answer{page}));
    } else if (mode == "wrong_id") {
        page.id += 1;
        Write(Frame(Answer{page}));
    } else if (mode == "garbage") {
        Write(std::string("\x10\0\0\0", 4) + std::string(16, '\xab'));
    } else if (mode == "unknown_kind") {
        Write(std::string("\x01\0\0\0\x7f", 5));
    } else if (mode == "bytes_left_over") {
        frame[0] = static_cast<char>(frame[0] + 1);
        Write(frame + "x");
    }
    // Stays until the window ends it.
    ReadExactly(STDIN_FILENO, 1 << 20);
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
