// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program against the stand-in sites: real window, real WebEngine pages,
// the OK/Cancel box answered through the box itself. One QApplication and one set of
// sites serve every scenario in turn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "end_to_end_harness.h"
#include "platform/oil_price_window.h"
#include "platform/program.h"
#include "platform/qt_text.h"
#include "platform/twip_label.h"
#include "standin/sample_sites.h"
#include "standin/standin_sites.h"
#include "support/end_state_sites.h"
#include "support/end_states.h"
#include "support/version_caption.h"

namespace {

using namespace brevane;
using namespace brevane::e2e;
using namespace std::chrono_literals;
using standin::FaultKind;
using standin::LoggedRequest;
using standin::Site;
// The end states that the Windows program's end-to-end tests check as well.
namespace table = brevane::testing;
using table::EndState;
using table::ServeScenario;

standin::StandinSites* g_sites = nullptr;

LoggedRequest Get(Site site, std::string path) {
    return {site, "GET", std::move(path)};
}

/// The requests in an order that does not depend on timing: the location sources are
/// asked one after another, in order, and the price pages side by side, so those are
/// sorted.
std::vector<LoggedRequest> Settled(std::vector<LoggedRequest> requests) {
    const auto prices =
        std::stable_partition(requests.begin(), requests.end(), [](const LoggedRequest& request) {
            return request.site != Site::SiteA && request.site != Site::SiteB;
        });
    std::sort(prices, requests.end(), [](const LoggedRequest& a, const LoggedRequest& b) {
        return std::tie(a.site, a.path, a.method) < std::tie(b.site, b.path, b.method);
    });
    return requests;
}

/// What a run that locates Shenzhen at the first source asks for.
std::vector<LoggedRequest> ShenzhenRequests() {
    return {
        Get(Site::Location1, "/"),
        Get(Site::SiteA, "/guangdong.shtml"),
        Get(Site::SiteA, "/guangdong/shenzhen.shtml"),
        Get(Site::SiteB, "/guangdong/"),
        Get(Site::SiteB, "/guangdong/shenzhenshi.html"),
    };
}

const QString kVersionCaption = ToQt(table::kVersionCaption);

/// The lines a panel label shows, each checked for its start: one row per grade.
void ExpectRowsStartWith(const ControlSeen& panel,
                         std::initializer_list<std::u16string_view> rows) {
    const std::vector<QString> lines = LinesOf(panel.caption);
    ASSERT_GE(lines.size(), rows.size()) << panel.caption.toStdString();
    std::size_t i = 0;
    for (const auto row : rows) {
        EXPECT_TRUE(lines[i].startsWith(ToQt(row))) << "row " << i << ": " << lines[i].toStdString()
                                                    << " lacks " << ToQt(row).toStdString();
        ++i;
    }
}

void ExpectControls(const RunResult& run, const std::vector<table::ExpectedControl>& controls) {
    for (const table::ExpectedControl& control : controls) {
        const ControlSeen seen = run.at(control.id);
        EXPECT_EQ(table::ControlMismatch(control, seen.caption.toStdU16String(), seen.shown), "");
    }
}

/// The date line of a run that found prices: today's, no longer the one it starts with.
void ExpectTodaysDate(const RunResult& run) {
    EXPECT_TRUE(run.at(Control::Label_Time).caption.startsWith(QLatin1Char('[')));
    EXPECT_NE(run.at(Control::Label_Time).caption, ToQt(table::kDesignTimeDate));
}

/// Checks the window of a run that found prices for its place.
void ExpectPriceTable(const RunResult& run) {
    EXPECT_TRUE(run.outOfStep.empty()) << run.outOfStep.front();
    ExpectControls(run, table::kPriceTable);
    ExpectTodaysDate(run);
}

/// Checks the end of a run against its row of the table that the Windows program's
/// end-to-end tests check as well: the box, if it asked, the window caption and the
/// controls.
void ExpectEndState(const RunResult& run, const EndState& state) {
    if (state.answerOk) {
        ASSERT_EQ(run.boxes.size(), 1u);
        const table::ExpectedBox& box = table::kNoLocationBox;
        EXPECT_EQ(run.boxes[0].title, ToQt(box.title));
        EXPECT_TRUE(run.boxes[0].text.startsWith(ToQt(box.textStart)))
            << run.boxes[0].text.toStdString();
        EXPECT_TRUE(run.boxes[0].text.endsWith(ToQt(box.textEnd)))
            << run.boxes[0].text.toStdString();
        EXPECT_EQ(run.boxes[0].windowCaptionMeanwhile,
                  kVersionCaption + ToQt(box.placeCaptionMeanwhile));
    } else {
        EXPECT_TRUE(run.boxes.empty());
    }
    EXPECT_EQ(run.windowCaption, ToQt(state.windowCaption()));
    EXPECT_TRUE(run.outOfStep.empty()) << run.outOfStep.front();
    ExpectControls(run, state.controls);
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        sites().reset();
        standin::ServeSamplePriceSites(sites());
    }
    static standin::StandinSites& sites() { return *g_sites; }
};

// Site A: UTF-8 province page, GBK city page declared by its meta element only. Site B:
// GBK province page declared by its header only, UTF-8 city page that sets its prices in
// a table.
TEST_F(EndToEnd, GuangdongShenzhenFillsBothColumnsFromGbkAndUtf8Pages) {
    ServeScenario(sites(), table::kShenzhenRun.sites);
    const RunResult run = RunProgram(sites(), {}, "shenzhen");

    ASSERT_TRUE(run.ended);
    EXPECT_EQ(Settled(run.requests), Settled(ShenzhenRequests()));
    ExpectEndState(run, table::kShenzhenRun);
    ExpectTodaysDate(run);
    // A renderer process for each page; no helper and no engine process once the run is
    // over, and the window's own process never held the engine.
    EXPECT_EQ(run.mostRenderers, 5);
    EXPECT_EQ(run.engineProcessesLeft, 0u);
    EXPECT_TRUE(run.engineFailures.empty());
    std::ifstream maps("/proc/self/maps");
    const std::string mapped{std::istreambuf_iterator<char>(maps), {}};
    EXPECT_EQ(mapped.find("libQt6WebEngineCore"), std::string::npos);
}

TEST_F(EndToEnd, NoticeThatTheProvincePageWritesAfterItsLoadIsRead) {
    standin::ServeLocation(sites(), Site::Location1, standin::places::kShenzhen);
    // The notice line comes from a script 150 ms after the province page has loaded, long
    // before the city page, which takes a second, is done.
    std::string page(standin::SamplePageFile("site_a/guangdong.shtml"));
    const std::string notice = "<br><br>油价下跌(0.13元/升) 油价调整窗口：2018年12月14日24时";
    const std::size_t at = page.find(notice);
    ASSERT_NE(at, std::string::npos);
    page.erase(at, notice.size());
    page.insert(page.find("</body>"),
                "<script>addEventListener('load', function () { setTimeout(function () {"
                "  document.querySelector('.price').insertAdjacentHTML('beforeend', '" +
                    notice + "'); }, 150); });</script>");
    sites().serve(Site::SiteA, "/guangdong.shtml", {page});
    sites().fail(Site::SiteA, "/guangdong/shenzhen.shtml", {FaultKind::Delay, 1000ms});

    const RunResult run = RunProgram(sites(), {}, "notice-written-late");

    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.requests.size(), 5u);
    ExpectPriceTable(run);
    EXPECT_EQ(run.at(Control::Lab_Replace).caption, ToQt(table::kNotice));
}

TEST_F(EndToEnd, FailingSourceOneFallsBackToSourceTwo) {
    sites().fail(Site::Location1, "/", {FaultKind::ServerError});
    standin::ServeLocation(sites(), Site::Location2, standin::places::kDongguan);
    const RunResult run = RunProgram(sites(), {}, "source-two");

    ASSERT_TRUE(run.ended);
    ASSERT_GE(run.requests.size(), 3u);
    EXPECT_EQ(run.requests[0], Get(Site::Location1, "/"));
    EXPECT_EQ(run.requests[1], Get(Site::Location2, "/"));
    EXPECT_TRUE(run.requests[2].site == Site::SiteA || run.requests[2].site == Site::SiteB)
        << "then the price pages";
    EXPECT_EQ(run.windowCaption, kVersionCaption + ToQt(u" [广东-东莞 今日油价]"));
    ExpectPriceTable(run);
}

TEST_F(EndToEnd, DongguanReadsScriptWrittenPricesAndAsksSiteBForDongshi) {
    standin::ServeLocation(sites(), Site::Location1, standin::places::kDongguan);
    const RunResult run = RunProgram(sites(), {}, "dongguan");

    ASSERT_TRUE(run.ended);
    const std::vector<LoggedRequest> expected{
        Get(Site::Location1, "/"),
        Get(Site::SiteA, "/guangdong.shtml"),
        Get(Site::SiteA, "/guangdong/dongguan.shtml"),
        Get(Site::SiteB, "/guangdong/"),
        Get(Site::SiteB, "/guangdong/dongshi.html"),
    };
    EXPECT_EQ(Settled(run.requests), Settled(expected));
    EXPECT_EQ(run.windowCaption, kVersionCaption + ToQt(u" [广东-东莞 今日油价]"));
    ExpectPriceTable(run);
    EXPECT_TRUE(run.at(Control::Lab_QiYouJiaGe_2).shown);
    ExpectRowsStartWith(
        run.at(Control::Lab_QiYouJiaGe_2),
        {u"92#\u3000\u3000汽油\u3000\u3000 7.14 ", u"95#\u3000\u3000汽油\u3000\u3000 7.60 "});
    EXPECT_TRUE(run.at(Control::Lab_YouJia_2).shown);
    ExpectRowsStartWith(run.at(Control::Lab_YouJia_2), {u"89#\u3000\u3000汽油         6.67"});
}

// All three location sources fail: 404, a reset connection, an empty page.
TEST_F(EndToEnd, NoLocationAndOkLoadsGuangdongWithoutCity) {
    const EndState& state = table::kNoLocationGuangdong;
    ServeScenario(sites(), state.sites);
    const RunResult run = RunProgram(sites(), {.answerOk = state.answerOk}, "no-location-ok");

    ASSERT_TRUE(run.ended);

    const std::vector<LoggedRequest> expected{
        Get(Site::Location1, "/"),        Get(Site::Location2, "/"),
        Get(Site::Location3, "/ip.html"), Get(Site::SiteA, "/guangdong.shtml"),
        Get(Site::SiteB, "/guangdong/"),  Get(Site::SiteB, "/guangdong/shi.html"),
    };
    EXPECT_EQ(Settled(run.requests), Settled(expected));
    ExpectEndState(run, state);
    ExpectTodaysDate(run);
}

TEST_F(EndToEnd, NoLocationAndCancelShowsError1801WithoutAnyPriceRequest) {
    const EndState& state = table::kNoLocationCancelled;
    ServeScenario(sites(), state.sites);
    const RunResult run = RunProgram(sites(), {.answerOk = state.answerOk}, "no-location-cancel");

    ASSERT_TRUE(run.ended);
    const std::vector<LoggedRequest> expected{
        Get(Site::Location1, "/"),
        Get(Site::Location2, "/"),
        Get(Site::Location3, "/ip.html"),
    };
    EXPECT_EQ(Settled(run.requests), Settled(expected));
    ExpectEndState(run, state);
}

TEST_F(EndToEnd, WithoutABrowserEngineTheRunAsksAtOnceAndEndsInAnErrorPanel) {
    struct Row {
        const char* name;
        bool answerOk;
        std::u16string_view error;
        PageHelperLaunch helper;
        const char* cause;
    };
    // As root the engine refuses its sandbox; elsewhere the engine may be missing or end
    // as it starts, as a helper that exits at once does.
    PageHelperLaunch asRoot = TestPageHelper();
    asRoot.unsandboxedAsRoot = false;
    const PageHelperLaunch exitsAtOnce{.program = QStringLiteral("/bin/false")};
    const PageHelperLaunch missing{.program = QStringLiteral("/nonexistent/brevane-pages")};
    std::vector<Row> rows = {
        {"helper_exits_at_once_then_ok", true, u"Error：1802", exitsAtOnce, "exited with code 1"},
        {"helper_missing_then_cancel", false, u"Error：1801", missing, "cannot be started"},
    };
    if (geteuid() == 0) {
        rows.push_back(
            {"root_with_sandbox_then_ok", true, u"Error：1802", asRoot, "started as root"});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The tests turn the sandbox off for every engine they start, but this one.
        const QByteArray sandboxOff = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        const RunResult run = RunProgram(sites(), {.answerOk = row.answerOk, .helper = row.helper},
                                         std::string("no-engine-") + row.name);
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandboxOff);

        ASSERT_TRUE(run.ended);
        EXPECT_LT(run.elapsed, 4s) << "one second to the tick, then no page waits";
        EXPECT_TRUE(run.requests.empty());
        EXPECT_EQ(run.boxes.size(), 1u);
        EXPECT_TRUE(run.at(Control::NetError).shown);
        EXPECT_TRUE(run.at(Control::NetError).caption.contains(ToQt(row.error)));
        EXPECT_EQ(run.mostRenderers, 0);
        ASSERT_EQ(run.engineFailures.size(), 1u) << "one line on standard error";
        EXPECT_TRUE(run.engineFailures[0].contains(QLatin1String(row.cause)))
            << run.engineFailures[0].toStdString();
    }
}

TEST_F(EndToEnd, BothPriceSitesDownShowError1802AndNetErrorEarly) {
    // The last city page answers late, so the window can be seen while it loads.
    ServeScenario(sites(), table::kPricesDown.sites);

    // The city page is asked for with the others; the error shows while it still loads.
    std::optional<std::chrono::milliseconds> netErrorAfterCityRequest;
    RunOptions options;
    options.onRequest = [&](const LoggedRequest& request, Program& program) {
        if (request != Get(Site::SiteB, "/guangdong/shenzhenshi.html")) {
            return;
        }
        const auto asked = std::chrono::steady_clock::now();
        auto* poll = new QTimer(&program);
        QObject::connect(poll, &QTimer::timeout, &program, [&, poll, asked] {
            if (program.window().control(Control::NetError)->isVisible()) {
                poll->stop();
                netErrorAfterCityRequest = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - asked);
                SaveScreenshot(program, "prices-down-while-loading");
            }
        });
        poll->start(10ms);
    };
    const RunResult run = RunProgram(sites(), options, "prices-down");

    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.requests.size(), 5u);
    // No value, when the error never showed, fails as well.
    EXPECT_LT(netErrorAfterCityRequest.value_or(std::chrono::milliseconds::max()), 1500ms)
        << "before the city page came";
    ExpectEndState(run, table::kPricesDown);
}

TEST_F(EndToEnd, HungPricePageCostsAtMostThePageTimeLimit) {
    ServeScenario(sites(), table::kCityPageLost.sites);
    struct Row {
        const char* name;
        bool killHelper;  // ends the page helper while the page hangs, as the system might
    };
    for (const Row row : {Row{"time_limit", false}, Row{"helper_killed", true}}) {
        SCOPED_TRACE(row.name);
        RunOptions options{.pageTimeLimit = 2s};
        if (row.killHelper) {
            // Once the province panel is written the run waits for the hung city page. The
            // label shows from the start, empty until then.
            options.onRequest = [](const LoggedRequest& request, Program& program) {
                if (request != Get(Site::SiteA, "/guangdong/shenzhen.shtml")) {
                    return;
                }
                auto* poll = new QTimer(&program);
                QObject::connect(poll, &QTimer::timeout, &program, [&program, poll] {
                    if (!program.window().label(Control::Lab_QiYouJiaGe)->caption().isEmpty()) {
                        poll->stop();
                        ::kill(static_cast<pid_t>(program.pages().helperProcessId()), SIGKILL);
                    }
                });
                poll->start(10ms);
            };
        }
        const RunResult run =
            RunProgram(sites(), options, std::string("hung-city-page-") + row.name);

        ASSERT_TRUE(run.ended);
        if (!row.killHelper) {
            EXPECT_GE(run.elapsed, 1000ms + 2s);
        }
        EXPECT_LT(run.elapsed, 1000ms + 2s + 8s) << "the other pages are quick";
        // A load the killed helper had not answered yet is asked for again.
        std::vector<LoggedRequest> pages = Settled(run.requests);
        pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
        EXPECT_EQ(pages.size(), 5u);
        if (!row.killHelper) {
            EXPECT_EQ(run.requests.size(), 5u);
        }
        ExpectEndState(run, table::kCityPageLost);
        ExpectTodaysDate(run);
        EXPECT_TRUE(run.engineFailures.empty());
        EXPECT_EQ(run.engineProcessesLeft, 0u);
    }
}

TEST_F(EndToEnd, TrickledRedirectedAndHugePagesStillGiveThePriceTable) {
    standin::ServeLocation(sites(), Site::Location1, standin::places::kShenzhen);
    sites().fail(Site::SiteA, "/guangdong.shtml", {FaultKind::Trickle, 1500ms});
    sites().fail(Site::SiteA, "/guangdong/shenzhen.shtml", {FaultKind::Huge});
    sites().serve(Site::SiteB, "/guangdong/index.html",
                  {std::string(standin::SamplePageFile("site_b/guangdong/index.gbk.html")),
                   "text/html; charset=gbk"});
    sites().fail(Site::SiteB, "/guangdong/", {FaultKind::Redirect, 0ms, "/guangdong/index.html"});
    const RunResult run = RunProgram(sites(), {.pageTimeLimit = 3s}, "hostile-pages");

    ASSERT_TRUE(run.ended);
    // A 20 MB page may take the browser longer than the page limit to lay out; it
    // then costs at most the limit for the load and again for reading its text.
    EXPECT_LT(run.elapsed, 1000ms + 1500ms + 3s + 3s + 8s);
    const std::vector<LoggedRequest> expected{
        Get(Site::Location1, "/"),
        Get(Site::SiteA, "/guangdong.shtml"),
        Get(Site::SiteA, "/guangdong/shenzhen.shtml"),
        Get(Site::SiteB, "/guangdong/"),
        Get(Site::SiteB, "/guangdong/index.html"),
        Get(Site::SiteB, "/guangdong/shenzhenshi.html"),
    };
    EXPECT_EQ(Settled(run.requests), Settled(expected));
    EXPECT_EQ(run.windowCaption, kVersionCaption + ToQt(table::kPlaceShenzhen));
    ExpectPriceTable(run);
    // The trickled province page is read whole, its notice included, while the huge city
    // page of the same site loads beside it.
    ExpectRowsStartWith(run.at(Control::Lab_QiYouJiaGe),
                        {u"92#\u3000\u3000汽油\u3000\u3000 7.12 "});
    EXPECT_EQ(run.at(Control::Lab_Replace).caption, ToQt(table::kNotice));
    ExpectRowsStartWith(run.at(Control::Lab_YouJia), {u"89#\u3000\u3000汽油         6.65"});
    // The huge city page gives its prices or, when the browser was too slow for the
    // limit, leaves the label's first caption and hides it; never a wrong text.
    const ControlSeen& city = run.at(Control::Lab_QiYouJiaGe_2);
    if (city.caption == ToQt(u"油价显示面板")) {
        EXPECT_FALSE(city.shown);
    } else {
        EXPECT_TRUE(city.shown);
        ExpectRowsStartWith(city, {u"92#\u3000\u3000汽油\u3000\u3000 7.15 "});
    }
    EXPECT_TRUE(run.at(Control::Lab_YouJia_2).shown);
}

TEST_F(EndToEnd, ClosingTheWindowDuringAWaitEndsTheRunAndRequestsNothingMore) {
    ServeScenario(sites(), table::sites::kSiteBHangs);

    RunOptions options;
    options.pageTimeLimit = 30s;
    options.giveUpAfter = 20s;
    options.onRequest = [&](const LoggedRequest& request, Program& program) {
        if (request == Get(Site::SiteB, "/guangdong/")) {
            SaveScreenshot(program, "closed-during-wait");
            program.window().close();
        }
    };
    const RunResult run = RunProgram(sites(), options, "closed-during-wait");

    ASSERT_TRUE(run.ended) << "the wait ended with the window, not at the time limit";
    EXPECT_LT(run.elapsed, 10s);
    EXPECT_FALSE(run.windowOpen);
    // The close kills the helper at once: nothing of it or its engine is left.
    EXPECT_EQ(run.engineProcessesLeft, 0u);
    // The price pages were all asked for at once, before the close; none again after it.
    EXPECT_EQ(Settled(run.requests), Settled(ShenzhenRequests()));
}

}  // namespace

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const auto sites = std::make_unique<brevane::standin::StandinSites>();
    g_sites = sites.get();
    return RUN_ALL_TESTS();
}
