// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the hidden WebEngine pages against web servers on 127.0.0.1: the pages in
// this process, and the window's side of the page helper with the real helper and with
// this program standing in for a broken one.
#include "engine/web_pages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/engine_setup.h"
#include "local_http_server.h"
#include "pageproto/page_protocol.h"
#include "platform/page_helper.h"
#include "standin/process_tree.h"
#include "test_page_helper.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::LocalHttpServer;

// Shared by all tests: the browser engine starts once per test program.
WebPages* g_pages = nullptr;
std::chrono::milliseconds g_limit = 15s;

/// One request of `pages`, waited for.
template <typename Start>
PageResult Await(Start start) {
    std::optional<PageResult> result;
    QEventLoop loop;
    start([&](PageResult done) {
        result = std::move(done);
        loop.quit();
    });
    if (!result) {
        loop.exec();
    }
    return std::move(result).value_or(PageResult{});
}

PageResult LoadOf(WebPages& pages, Control browser, std::u16string_view address) {
    return Await(
        [&](WebPages::Answer answer) { pages.load(browser, address, g_limit, std::move(answer)); });
}

std::u16string Load(Control browser, std::u16string_view address) {
    return LoadOf(*g_pages, browser, address).text;
}

PageResult ReadOf(WebPages& pages, Control browser) {
    return Await([&](WebPages::Answer answer) { pages.read(browser, g_limit, std::move(answer)); });
}

std::u16string Read(Control browser) {
    return ReadOf(*g_pages, browser).text;
}

// "今日油价：92号汽油 7.85元/升", as UTF-8 and as GBK.
constexpr char16_t kPriceLine[] = u"今日油价：92号汽油 7.85元/升";
constexpr char kPriceLineUtf8[] = "今日油价：92号汽油 7.85元/升";
constexpr char kPriceLineGbk[] =
    "\xBD\xF1\xC8\xD5\xD3\xCD\xBC\xDB\xA3\xBA\x39\x32\xBA\xC5\xC6\xFB\xD3\xCD\x20\x37\x2E\x38\x35"
    "\xD4\xAA\x2F\xC9\xFD";
// A marker that ends in a space before the line break, as the price pages' do.
constexpr char kSourceLineUtf8[] = "（数据来源自广东） ";
constexpr char16_t kSourceLine[] = u"（数据来源自广东） ";

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

void serve(LocalHttpServer& server, const std::string& path, std::string body,
           std::string type = "text/html; charset=utf-8", int status = 200) {
    server.routes().Get(path, [body = std::move(body), type = std::move(type), status](
                                  const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, type);
    });
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    int opened = 0;
public Q_SLOTS:
    void open(const QUrl&) { ++opened; }
};

/// Restores the default limit when a test that shortened it ends.
struct TimeLimit {
    explicit TimeLimit(std::chrono::milliseconds limit) { g_limit = limit; }
    ~TimeLimit() { g_limit = 15s; }
};

TEST(WebPagesText, EachKindOfPageGivesItsBodyText) {
    LocalHttpServer server;
    const std::string price = std::string("<div>") + kPriceLineUtf8 + "</div>";
    serve(server, "/utf8", "<html><body>" + price + "</body></html>");
    serve(server, "/gbk-header",
          std::string("<html><body><div>") + kPriceLineGbk + "</div></body></html>",
          "text/html; charset=GBK");
    serve(server, "/gbk-meta",
          std::string("<html><head><meta charset=\"gbk\"></head><body><div>") + kPriceLineGbk +
              "</div></body></html>",
          "text/html");
    serve(server, "/script",
          "<html><body><div id=a></div><div id=b></div><div id=c></div>"
          "<script>document.getElementById('a').textContent = 'inline';</script>"
          "<script src=\"/app.js\"></script>"
          "<script>window.onload = function () {"
          "  document.getElementById('c').textContent = 'onload'; };</script>"
          "</body></html>");
    serve(server, "/app.js", "document.getElementById('b').textContent = 'external';",
          "application/javascript");
    server.routes().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/utf8");
    });
    serve(server, "/hop", "<html><body>on the way<script>location.replace('/utf8');</script>");
    serve(
        server, "/marker",
        std::string("<html><body>") + kSourceLineUtf8 + "<br>" + kPriceLineUtf8 + "</body></html>");
    server.start();

    struct Row {
        const char* name;
        std::string path;
        std::u16string text;
    };
    const std::vector<Row> rows = {
        {"utf8_page", "/utf8", kPriceLine},
        {"gbk_declared_in_content_type", "/gbk-header", kPriceLine},
        {"gbk_declared_only_by_meta_charset", "/gbk-meta", kPriceLine},
        {"content_written_by_scripts", "/script", u"inline\r\nexternal\r\nonload"},
        {"server_redirect_followed", "/moved", kPriceLine},
        {"script_redirect_followed", "/hop", kPriceLine},
        {"space_before_line_break_kept", "/marker",
         std::u16string(kSourceLine) + u"\r\n" + kPriceLine},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Load(Control::Web_YouJia_2, server.url(row.path)), row.text);
    }
}

TEST(WebPagesWait, EndsOnlyWhenTheNewlyRequestedPageIsDone) {
    LocalHttpServer server;
    serve(server, "/first", "<html><body>first page</body></html>");
    server.routes().Get("/second", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(800ms);
        response.set_content("<html><body>second page</body></html>", "text/html");
    });
    server.routes().Get("/silent",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
    server.routes().Get(
        "/partial", [&server](const httplib::Request&, httplib::Response& response) {
            // A length the body never reaches (and no chunking, which the server would
            // compress and hold back).
            response.set_content_provider(
                1 << 20, "text/html; charset=utf-8",
                [&server](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        const std::string head = "<html><body><div>arrived so far</div><!--" +
                                                 std::string(4096, 'x') + "-->";
                        return sink.write(head.data(), head.size());
                    }
                    server.hang();
                    return false;
                });
        });
    server.start();

    EXPECT_EQ(Load(Control::Web_IP, server.url("/first")), u"first page");
    // The first page is complete when the second is asked for: that must not end the wait.
    const auto start = Clock::now();
    EXPECT_EQ(Load(Control::Web_IP, server.url("/second")), u"second page");
    EXPECT_GE(since(start), 800ms);

    const TimeLimit limit(2s);
    {
        SCOPED_TRACE("a server that never answers: the old page's text is not passed off");
        const auto begun = Clock::now();
        const std::clock_t cpu = std::clock();
        EXPECT_EQ(Load(Control::Web_IP, server.url("/silent")), u"");
        EXPECT_GE(since(begun), 2s);
        EXPECT_LT(since(begun), 6s);
        // The wait sleeps in the event loop; polling would burn the whole two seconds.
        EXPECT_LT(double(std::clock() - cpu) / CLOCKS_PER_SEC, 0.5);
        EXPECT_EQ(Read(Control::Web_IP), u"");
    }
    {
        SCOPED_TRACE("a page that never finishes: what it shows at the limit");
        const auto begun = Clock::now();
        EXPECT_EQ(Load(Control::Web_IP, server.url("/partial")), u"arrived so far");
        EXPECT_GE(since(begun), 2s);
        EXPECT_LT(since(begun), 6s);
    }
}

TEST(WebPagesWait, ReadingAgainMakesNoRequest) {
    LocalHttpServer server;
    serve(server, "/province", std::string("<html><body>") + kPriceLineUtf8 + "</body></html>");
    server.start();

    EXPECT_EQ(Load(Control::Web_QiYouJiaGe, server.url("/province")), kPriceLine);
    EXPECT_EQ(Read(Control::Web_QiYouJiaGe), kPriceLine);
    // A fragment moves within the page shown: no request, and no load to wait for.
    const auto start = Clock::now();
    EXPECT_EQ(Load(Control::Web_QiYouJiaGe, server.url("/province#today")), kPriceLine);
    EXPECT_LT(since(start), 2s);
    EXPECT_EQ(server.count("/province"), 1);
}

TEST(WebPagesWait, AReadSeesWhatScriptsWroteAfterTheLoadUnlessTheDocumentIsGone) {
    LocalHttpServer server;
    serve(server, "/late",
          "<html><body><div id=n>at load</div><script>addEventListener('load', function () {"
          "  setTimeout(function () { n.textContent = 'written later'; }, 150); });"
          "</script></body></html>");
    server.start();

    EXPECT_EQ(Load(Control::Web_QiYouJiaGe, server.url("/late")), u"at load");
    QEventLoop settle;
    QTimer::singleShot(500ms, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(Read(Control::Web_QiYouJiaGe), u"written later");

    // With its renderer ended, the document is gone, and a read fails.
    for (const pid_t renderer : standin::ProcessTree(getpid())) {
        if (renderer != getpid() && standin::ThreadCount(renderer) > 1) {
            ::kill(renderer, SIGKILL);
        }
    }
    const auto start = Clock::now();
    while (ReadOf(*g_pages, Control::Web_QiYouJiaGe).outcome != pageproto::Outcome::Failed &&
           since(start) < 5s) {
        QTimer::singleShot(50ms, &settle, &QEventLoop::quit);
        settle.exec();
    }
    EXPECT_EQ(ReadOf(*g_pages, Control::Web_QiYouJiaGe).outcome, pageproto::Outcome::Failed);
    EXPECT_LT(since(start), 5s);
}

TEST(WebPagesWait, PagesThatCannotBeLoadedEndTheWaitWithoutTheirText) {
    LocalHttpServer server;
    const std::string body = "<html><body>MARKER error body</body></html>";
    serve(server, "/not-found", body, "text/html", 404);
    serve(server, "/server-error", body, "text/html", 500);
    server.start();
    int closedPort = 0;
    {
        LocalHttpServer gone;
        gone.start();
        closedPort = gone.port();
    }
    const std::string closed = "http://127.0.0.1:" + std::to_string(closedPort) + "/";

    struct Row {
        const char* name;
        std::u16string address;
    };
    const std::vector<Row> rows = {
        {"port_with_no_server", std::u16string(closed.begin(), closed.end())},
        {"host_that_does_not_resolve", u"http://brevane.invalid/"},
        {"not_found", server.url("/not-found")},
        {"server_error", server.url("/server-error")},
        {"not_an_address", u"http://"},
    };
    const TimeLimit limit(10s);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto start = Clock::now();
        const std::u16string text = Load(Control::Web_YouJia, row.address);
        EXPECT_LT(since(start), 8s);
        EXPECT_EQ(text.find(u"MARKER"), std::u16string::npos)
            << std::string(text.begin(), text.end());
    }
}

TEST(WebPagesSilence, DialogsPopUpsAndOtherProgramsAreRefused) {
    LocalHttpServer server;
    serve(server, "/dialogs",
          "<html><body><div id=out></div><script>"
          "alert('hello');"
          "var c = confirm('sure?');"
          "var p = prompt('name?', 'x');"
          "var w = window.open('/popup');"
          "document.getElementById('out').textContent ="
          "  'confirm ' + c + ' prompt ' + p + ' window ' + (w ? 'opened' : 'refused');"
          "location.href = 'brevane-test-scheme://launch';"
          "</script></body></html>");
    serve(server, "/popup", "<html><body>popup</body></html>");
    server.start();

    // Stands in for the desktop's program for this scheme, and counts the hand-overs.
    UrlCatcher launcher;
    QDesktopServices::setUrlHandler(QStringLiteral("brevane-test-scheme"), &launcher, "open");

    const auto start = Clock::now();
    EXPECT_EQ(Load(Control::Web_QiYouJiaGe_2, server.url("/dialogs")),
              u"confirm false prompt null window refused");
    EXPECT_LT(since(start), 8s);
    // Let a late pop-up or hand-over to another program show itself, if there were one.
    QEventLoop settle;
    QTimer::singleShot(500ms, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(server.count("/popup"), 0);
    EXPECT_EQ(launcher.opened, 0);
    QDesktopServices::unsetUrlHandler(QStringLiteral("brevane-test-scheme"));
}

TEST(WebPagesFilter, ImagesStylesFontsFramesAndMediaAreNotWaitedFor) {
    LocalHttpServer server;
    serve(server, "/heavy",
          "<html><head><link rel=stylesheet href=\"/hang/style.css\">"
          "<style>@font-face { font-family: f; src: url(/hang/font.woff); }"
          "body { font-family: f; background: url(/hang/back.png); }</style></head>"
          "<body><img src=\"/hang/a.png\"><img src=\"/hang/b.jpg\">"
          "<iframe src=\"/hang/frame.html\"></iframe><video src=\"/hang/clip.mp4\"></video>"
          "<div id=out>price table</div><script src=\"/script.js\"></script></body></html>");
    serve(server, "/script.js", "document.getElementById('out').textContent += ' by script';",
          "application/javascript");
    server.routes().Get(R"(/hang/.*)",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
    server.start();

    const auto start = Clock::now();
    EXPECT_EQ(Load(Control::Web_YouJia, server.url("/heavy")), u"price table by script");
    EXPECT_LT(since(start), 5s);
    EXPECT_EQ(server.count("/script.js"), 1);
    for (const std::string& path : server.log()) {
        EXPECT_EQ(path.rfind("/hang/", 0), std::string::npos) << path << " was requested";
    }
}

TEST(WebPagesWait, PagesLoadSideBySideAndANewRequestForAPageEndsItsLastOne) {
    LocalHttpServer server;
    serve(server, "/page", "<html><body>page</body></html>");
    server.routes().Get("/slow", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(800ms);
        response.set_content("<html><body>slow</body></html>", "text/html");
    });
    server.routes().Get("/silent",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
    server.start();

    std::vector<std::u16string> answers;
    QEventLoop loop;
    const auto answer = [&](PageResult result) {
        answers.push_back(result.text);
        if (answers.size() == 4) {
            loop.quit();
        }
    };
    const auto start = Clock::now();
    g_pages->load(Control::Web_YouJia, server.url("/slow"), g_limit, answer);
    g_pages->load(Control::Web_YouJia_2, server.url("/slow"), g_limit, answer);
    g_pages->load(Control::Web_IP, server.url("/silent"), g_limit, answer);
    g_pages->load(Control::Web_IP, server.url("/page"), g_limit, answer);
    loop.exec();
    EXPECT_EQ(answers, (std::vector<std::u16string>{u"", u"page", u"slow", u"slow"}));
    EXPECT_LT(since(start), 1600ms) << "the slow pages loaded one after the other";
}

TEST(WebPagesWait, APageThatHangsTheSharedRendererCostsOnlyItsOwnLoad) {
    LocalHttpServer server;
    serve(server, "/spin", "<html><body>spinning<script>for (;;) {}</script></body></html>");
    serve(server, "/after", "<html><body>after</body></html>");
    server.start();

    const TimeLimit limit(2s);
    const auto start = Clock::now();
    EXPECT_EQ(Load(Control::Web_QiYouJiaGe, server.url("/spin")), u"");
    EXPECT_EQ(Load(Control::Web_YouJia, server.url("/after")), u"after");
    EXPECT_LT(since(start), 6s);
}

TEST(WebPagesEngine, AfterReleaseEveryLoadIsEmptyAtOnce) {
    LocalHttpServer server;
    serve(server, "/page", "<html><body>page</body></html>");
    server.start();

    WebPages released;
    EXPECT_EQ(LoadOf(released, Control::Web_IP, server.url("/page")).text, u"page");
    released.release();

    const auto start = Clock::now();
    EXPECT_EQ(ReadOf(released, Control::Web_IP).outcome, pageproto::Outcome::Failed);
    EXPECT_EQ(LoadOf(released, Control::Web_YouJia, server.url("/page")).outcome,
              pageproto::Outcome::Failed);
    EXPECT_LT(since(start), 100ms);
    EXPECT_EQ(server.count("/page"), 1);
}

// --- The window's side of the page helper ---------------------------------------------------

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
    serve(server, "/page", "<html><body>page</body></html>");
    server.routes().Get("/silent",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
    server.start();

    HelperPages pages(TestPageHelper());
    const EngineFailures failures(pages);
    pages.setTimeLimit(20s);
    pages.start();
    EXPECT_EQ(pages.LoadPage(Control::Web_IP, server.url("/page")), u"page");

    // Killed while a page hangs, as the system may do to it: that load fails at once, and
    // the next starts a fresh helper.
    const qint64 first = pages.helperProcessId();
    QTimer::singleShot(500ms, &pages, [first] { ::kill(static_cast<pid_t>(first), SIGKILL); });
    auto start = Clock::now();
    EXPECT_EQ(pages.LoadPage(Control::Web_YouJia, server.url("/silent")), u"");
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
    serve(server, "/fast", "<html><body>fast</body></html>");
    server.routes().Get("/slow", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(800ms);
        response.set_content("<html><body>slow</body></html>", "text/html");
    });
    server.routes().Get("/silent",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
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
    server.routes().Get("/silent",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
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
    // Nothing a test loads can reach past this machine.
    brevane::EngineSetup engine(argc, argv, {.loopbackOnly = true, .unsandboxedAsRoot = true});
    QApplication app(engine.argc(), engine.argv());
    brevane::WebPages pages;
    brevane::g_pages = &pages;
    return RUN_ALL_TESTS();
}

#include "web_pages_test.moc"
