// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the page helper's hidden WebEngine pages, in this process, against web servers
// on 127.0.0.1, through the pages' own asynchronous interface.
#include "engine/web_pages.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_setup.h"
#include "pageproto/page_protocol.h"
#include "pageserve/page_service.h"
#include "standin/process_tree.h"
#include "support/elapsed.h"
#include "support/local_http_server.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using pageproto::Outcome;
using pageserve::PageResult;
using testing::Clock;
using testing::LocalHttpServer;
using testing::since;
using Page = pageproto::PageNumber;

// The pages by the protocol's numbers; the engine knows nothing of what they are for.
constexpr Page kPage0 = 0;
constexpr Page kPage1 = 1;
constexpr Page kPage2 = 2;
constexpr Page kPage3 = 3;
constexpr Page kPage4 = 4;

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

PageResult LoadOf(WebPages& pages, Page page, std::u16string_view address) {
    return Await(
        [&](WebPages::Done answer) { pages.Load(page, address, g_limit, std::move(answer)); });
}

std::u16string Load(Page page, std::u16string_view address) {
    return LoadOf(*g_pages, page, address).text;
}

PageResult ReadOf(WebPages& pages, Page page) {
    return Await([&](WebPages::Done answer) { pages.Read(page, g_limit, std::move(answer)); });
}

std::u16string Read(Page page) {
    return ReadOf(*g_pages, page).text;
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
    server.serve("/utf8", "<html><body>" + price + "</body></html>");
    server.serve("/gbk-header",
                 std::string("<html><body><div>") + kPriceLineGbk + "</div></body></html>",
                 "text/html; charset=GBK");
    server.serve("/gbk-meta",
                 std::string("<html><head><meta charset=\"gbk\"></head><body><div>") +
                     kPriceLineGbk + "</div></body></html>",
                 "text/html");
    server.serve("/script",
                 "<html><body><div id=a></div><div id=b></div><div id=c></div>"
                 "<script>document.getElementById('a').textContent = 'inline';</script>"
                 "<script src=\"/app.js\"></script>"
                 "<script>window.onload = function () {"
                 "  document.getElementById('c').textContent = 'onload'; };</script>"
                 "</body></html>");
    server.serve("/app.js", "document.getElementById('b').textContent = 'external';",
                 "application/javascript");
    server.routes().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/utf8");
    });
    server.serve("/hop", "<html><body>on the way<script>location.replace('/utf8');</script>");
    server.serve("/marker", std::string("<html><body>") + kSourceLineUtf8 + "<br>" +
                                kPriceLineUtf8 + "</body></html>");
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
        EXPECT_EQ(Load(kPage4, server.url(row.path)), row.text);
    }
}

TEST(WebPagesWait, EndsOnlyWhenTheNewlyRequestedPageIsDone) {
    LocalHttpServer server;
    server.serve("/first", "<html><body>first page</body></html>");
    server.serve("/second", "<html><body>second page</body></html>", "text/html", 200, 800ms);
    server.serveSilence("/silent");
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

    EXPECT_EQ(Load(kPage0, server.url("/first")), u"first page");
    // The first page is complete when the second is asked for: that must not end the wait.
    const auto start = Clock::now();
    EXPECT_EQ(Load(kPage0, server.url("/second")), u"second page");
    EXPECT_GE(since(start), 800ms);

    const TimeLimit limit(2s);
    {
        SCOPED_TRACE("a server that never answers: the old page's text is not passed off");
        const auto begun = Clock::now();
        const std::clock_t cpu = std::clock();
        EXPECT_EQ(Load(kPage0, server.url("/silent")), u"");
        EXPECT_GE(since(begun), 2s);
        EXPECT_LT(since(begun), 6s);
        // The wait sleeps in the event loop; polling would burn the whole two seconds.
        EXPECT_LT(double(std::clock() - cpu) / CLOCKS_PER_SEC, 0.5);
        EXPECT_EQ(Read(kPage0), u"");
    }
    {
        SCOPED_TRACE("a page that never finishes: what it shows at the limit");
        const auto begun = Clock::now();
        EXPECT_EQ(Load(kPage0, server.url("/partial")), u"arrived so far");
        EXPECT_GE(since(begun), 2s);
        EXPECT_LT(since(begun), 6s);
    }
}

TEST(WebPagesWait, ReadingAgainMakesNoRequest) {
    LocalHttpServer server;
    server.serve("/province", std::string("<html><body>") + kPriceLineUtf8 + "</body></html>");
    server.start();

    EXPECT_EQ(Load(kPage1, server.url("/province")), kPriceLine);
    EXPECT_EQ(Read(kPage1), kPriceLine);
    // A fragment moves within the page shown: no request, and no load to wait for.
    const auto start = Clock::now();
    EXPECT_EQ(Load(kPage1, server.url("/province#today")), kPriceLine);
    EXPECT_LT(since(start), 2s);
    EXPECT_EQ(server.count("/province"), 1);
}

TEST(WebPagesWait, AReadSeesWhatScriptsWroteAfterTheLoadUnlessTheDocumentIsGone) {
    LocalHttpServer server;
    server.serve("/late",
                 "<html><body><div id=n>at load</div><script>addEventListener('load', function () {"
                 "  setTimeout(function () { n.textContent = 'written later'; }, 150); });"
                 "</script></body></html>");
    server.start();

    EXPECT_EQ(Load(kPage1, server.url("/late")), u"at load");
    QEventLoop settle;
    const auto loaded = Clock::now();
    while (Read(kPage1) != u"written later" && since(loaded) < 5s) {
        QTimer::singleShot(20ms, &settle, &QEventLoop::quit);
        settle.exec();
    }
    EXPECT_EQ(Read(kPage1), u"written later");

    // With its renderer ended, the document is gone, and a read says so.
    for (const pid_t renderer : standin::ProcessTree(getpid())) {
        if (renderer != getpid() && standin::ThreadCount(renderer) > 1) {
            ::kill(renderer, SIGKILL);
        }
    }
    const auto start = Clock::now();
    while (ReadOf(*g_pages, kPage1).outcome != Outcome::Unreadable && since(start) < 5s) {
        QTimer::singleShot(50ms, &settle, &QEventLoop::quit);
        settle.exec();
    }
    EXPECT_EQ(ReadOf(*g_pages, kPage1).outcome, Outcome::Unreadable);
    EXPECT_LT(since(start), 5s);
}

TEST(WebPagesWait, PagesThatCannotBeLoadedEndTheWaitWithoutTheirText) {
    LocalHttpServer server;
    const std::string body = "<html><body>MARKER error body</body></html>";
    server.serve("/not-found", body, "text/html", 404);
    server.serve("/server-error", body, "text/html", 500);
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
        const std::u16string text = Load(kPage3, row.address);
        EXPECT_LT(since(start), 8s);
        EXPECT_EQ(text.find(u"MARKER"), std::u16string::npos)
            << std::string(text.begin(), text.end());
    }
}

TEST(WebPagesSilence, DialogsPopUpsAndOtherProgramsAreRefused) {
    LocalHttpServer server;
    server.serve("/dialogs",
                 "<html><body><div id=out></div><script>"
                 "alert('hello');"
                 "var c = confirm('sure?');"
                 "var p = prompt('name?', 'x');"
                 "var w = window.open('/popup');"
                 "document.getElementById('out').textContent ="
                 "  'confirm ' + c + ' prompt ' + p + ' window ' + (w ? 'opened' : 'refused');"
                 "location.href = 'brevane-test-scheme://launch';"
                 "</script></body></html>");
    server.serve("/popup", "<html><body>popup</body></html>");
    server.start();

    // Stands in for the desktop's program for this scheme, and counts the hand-overs.
    UrlCatcher launcher;
    QDesktopServices::setUrlHandler(QStringLiteral("brevane-test-scheme"), &launcher, "open");

    const auto start = Clock::now();
    EXPECT_EQ(Load(kPage2, server.url("/dialogs")), u"confirm false prompt null window refused");
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
    server.serve("/heavy",
                 "<html><head><link rel=stylesheet href=\"/hang/style.css\">"
                 "<style>@font-face { font-family: f; src: url(/hang/font.woff); }"
                 "body { font-family: f; background: url(/hang/back.png); }</style></head>"
                 "<body><img src=\"/hang/a.png\"><img src=\"/hang/b.jpg\">"
                 "<iframe src=\"/hang/frame.html\"></iframe><video src=\"/hang/clip.mp4\"></video>"
                 "<div id=out>price table</div><script src=\"/script.js\"></script></body></html>");
    server.serve("/script.js", "document.getElementById('out').textContent += ' by script';",
                 "application/javascript");
    server.routes().Get(R"(/hang/.*)",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
    server.start();

    const auto start = Clock::now();
    EXPECT_EQ(Load(kPage3, server.url("/heavy")), u"price table by script");
    EXPECT_LT(since(start), 5s);
    EXPECT_EQ(server.count("/script.js"), 1);
    for (const std::string& path : server.log()) {
        EXPECT_EQ(path.rfind("/hang/", 0), std::string::npos) << path << " was requested";
    }
}

TEST(WebPagesWait, PagesLoadSideBySideAndANewRequestForAPageEndsItsLastOne) {
    LocalHttpServer server;
    server.serve("/page", "<html><body>page</body></html>");
    server.serve("/slow", "<html><body>slow</body></html>", "text/html", 200, 800ms);
    server.serveSilence("/silent");
    server.start();

    std::vector<std::u16string> answers;
    QEventLoop loop;
    const auto answer = [&](const PageResult& result) {
        answers.push_back(result.text);
        if (answers.size() == 3) {
            loop.quit();
        }
    };
    const auto start = Clock::now();
    g_pages->Load(kPage3, server.url("/slow"), g_limit, answer);
    g_pages->Load(kPage4, server.url("/slow"), g_limit, answer);
    g_pages->Load(kPage0, server.url("/silent"), g_limit, answer);
    g_pages->Load(kPage0, server.url("/page"), g_limit, answer);
    loop.exec();
    // The request it replaced is answered by the service, not by the page.
    EXPECT_EQ(answers, (std::vector<std::u16string>{u"page", u"slow", u"slow"}));
    EXPECT_LT(since(start), 1600ms) << "the slow pages loaded one after the other";
}

TEST(WebPagesWait, APageThatHangsItsRendererCostsOnlyItsOwnLoad) {
    LocalHttpServer server;
    server.serve("/spin", "<html><body>spinning<script>for (;;) {}</script></body></html>");
    server.serve("/beside", "<html><body>beside</body></html>");
    server.start();

    // The spinning page's renderer is stuck from its first script on: the page runs out of its
    // 2 s, its renderer gives no text within the read's own 2 s and is ended. The page beside
    // it, in a renderer of its own, answers long before.
    std::vector<std::pair<std::u16string, Outcome>> answers;
    QEventLoop loop;
    const auto answer = [&](const PageResult& result) {
        answers.emplace_back(result.text, result.outcome);
        loop.quit();
    };
    g_pages->Load(kPage1, server.url("/spin"), 2s, answer);
    g_pages->Load(kPage3, server.url("/beside"), 10s, answer);
    while (answers.size() < 2) {
        loop.exec();
    }
    EXPECT_EQ(answers, (std::vector<std::pair<std::u16string, Outcome>>{
                           {u"beside", Outcome::Loaded}, {u"", Outcome::TimedOut}}));
}

TEST(WebPagesEngine, ALoadThatOvertakesTheWarmUpStillFindsReadyFirst) {
    LocalHttpServer server;
    server.serve("/page", "<html><body>page</body></html>");
    server.start();

    WebPages pages;
    pageserve::PageService service(pages);
    bool warm = false;
    QObject::connect(&pages, &WebPages::warmedUp, &pages, [&] {
        warm = true;
        service.engineUp();
    });
    pages.warmUp();
    ASSERT_TRUE(service.receive(pageproto::Frame(pageproto::LoadRequest{
        .id = 1, .page = kPage0, .timeLimitMs = 10000, .address = server.url("/page")})));
    pageproto::FrameReader reader;
    std::vector<pageproto::Answer> answers;
    QEventLoop settle;
    for (const auto start = Clock::now(); answers.size() < 2 && since(start) < 10s;) {
        QTimer::singleShot(20ms, &settle, &QEventLoop::quit);
        settle.exec();
        reader.append(service.outgoing());
        service.written(service.outgoing().size());
        while (const auto payload = reader.next()) {
            answers.push_back(pageproto::ParseAnswer(*payload).value());
        }
    }
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0], pageproto::Answer{pageproto::Ready{}});
    EXPECT_EQ(std::get<pageproto::PageAnswer>(answers[1]).text, u"page");
    EXPECT_TRUE(warm);
}

TEST(WebPagesEngine, PagesGoWithTheirOwnerAndAnswerNothingAfter) {
    LocalHttpServer server;
    server.serveSilence("/silent");
    server.start();

    bool answered = false;
    {
        WebPages pages;
        pages.Load(kPage2, server.url("/silent"), 10s, [&](const PageResult&) { answered = true; });
        QEventLoop settle;
        for (const auto start = Clock::now(); server.count("/silent") == 0 && since(start) < 10s;) {
            QTimer::singleShot(20ms, &settle, &QEventLoop::quit);
            settle.exec();
        }
        ASSERT_EQ(server.count("/silent"), 1);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(answered);
}

}  // namespace
}  // namespace brevane

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing a test loads can reach past this machine.
    brevane::EngineSetup engine(argc, argv, {.loopbackOnly = true, .unsandboxedAsRoot = true});
    QGuiApplication app(engine.argc(), engine.argv());
    brevane::WebPages pages;
    brevane::g_pages = &pages;
    return RUN_ALL_TESTS();
}

#include "web_pages_test.moc"
