// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program with its real hidden pages, against a server on 127.0.0.1 that
// never answers: closing the window ends the program with status 0 at any moment.
#include "platform/program.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

#include "core/controls.h"
#include "platform/oil_price_window.h"
#include "platform/qt_text.h"
#include "platform/twip_label.h"
#include "support/local_http_server.h"
#include "support/version_caption.h"
#include "test_page_helper.h"

namespace brevane {
namespace {

using namespace testing;

const std::u16string kLocatingCaption = kVersionCaption + u" [正在获取您的所在地...]";

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        server.routes().Get(".*",
                            [this](const httplib::Request&, httplib::Response&) { server.hang(); });
        server.start();
        QApplication::setQuitOnLastWindowClosed(true);
    }
    ~ProgramTest() override { QApplication::setQuitOnLastWindowClosed(false); }

    WebAddresses Addresses() const {
        return WebAddresses{
            .locationSource1 = server.url("/loc1/"),
            .locationSource2 = server.url("/loc2/"),
            .locationSource3 = server.url("/ip.html"),
            .siteARoot = server.url("/a/"),
            .siteBRoot = server.url("/b/"),
            .sponsor = server.url("/dashang.html"),
        };
    }

    /// Runs the application's loop as the program's main does, with a limit.
    int Exec() {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &limit, [] { QCoreApplication::exit(99); });
        limit.start(30000);
        return QApplication::exec();
    }

    LocalHttpServer server;
};

TEST_F(ProgramTest, ClosingBeforeTheFirstTickExitsWithoutARequest) {
    Program program(Addresses(), TestPageHelper());
    program.start();
    // Form_Load's texts are in place when the window is first shown.
    EXPECT_TRUE(program.window().isVisible());
    EXPECT_EQ(program.window().windowTitle(), ToQt(kLocatingCaption));
    EXPECT_EQ(program.window().label(Control::Lab_YouJia)->caption(),
              QStringLiteral("油价信息加载中，请稍等..."));
    // Closed once the page helper runs, its engine warming up: the program still ends at once.
    std::chrono::steady_clock::time_point closed;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &program, [&] {
        if (program.pages().helperProcessId() != 0) {
            poll.stop();
            closed = std::chrono::steady_clock::now();
            program.window().close();
        }
    });
    poll.start(10);
    EXPECT_EQ(Exec(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - closed, std::chrono::milliseconds(300));
    // The start timer, stopped by the close, never gives its tick.
    EXPECT_FALSE(program.window().timerActive());
    EXPECT_TRUE(server.log().empty());
}

TEST_F(ProgramTest, ClosingDuringAPageWaitExitsWithStatusZero) {
    Program program(Addresses(), TestPageHelper());
    QSignalSpy ended(&program, &Program::runEnded);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &program, [&] {
        if (!server.log().empty()) {
            poll.stop();
            program.window().close();
        }
    });
    poll.start(20);
    program.start();
    EXPECT_EQ(Exec(), 0);
    EXPECT_EQ(ended.size(), 1);
    EXPECT_EQ(server.log(), std::vector<std::string>{"/loc1/"});
    EXPECT_EQ(program.model().windowCaption(), kLocatingCaption);
}

}  // namespace
}  // namespace brevane
