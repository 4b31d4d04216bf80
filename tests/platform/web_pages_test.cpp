// Tests of the hidden WebEngine pages against web servers on 127.0.0.1.
#include "platform/web_pages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "local_http_server.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::LocalHttpServer;

// Shared by all tests: the browser engine starts once per test program.
WebPages* g_pages = nullptr;

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
    explicit TimeLimit(std::chrono::milliseconds limit) { g_pages->setTimeLimit(limit); }
    ~TimeLimit() { g_pages->setTimeLimit(15s); }
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
        EXPECT_EQ(g_pages->LoadPage(Control::Web_YouJia_2, server.url(row.path)), row.text);
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

    EXPECT_EQ(g_pages->LoadPage(Control::Web_IP, server.url("/first")), u"first page");
    // The first page is complete when the second is asked for: that must not end the wait.
    const auto start = Clock::now();
    EXPECT_EQ(g_pages->LoadPage(Control::Web_IP, server.url("/second")), u"second page");
    EXPECT_GE(since(start), 800ms);

    const TimeLimit limit(2s);
    {
        SCOPED_TRACE("a server that never answers: the old page's text is not passed off");
        const auto begun = Clock::now();
        const std::clock_t cpu = std::clock();
        EXPECT_EQ(g_pages->LoadPage(Control::Web_IP, server.url("/silent")), u"");
        EXPECT_GE(since(begun), 2s);
        EXPECT_LT(since(begun), 6s);
        // The wait sleeps in the event loop; polling would burn the whole two seconds.
        EXPECT_LT(double(std::clock() - cpu) / CLOCKS_PER_SEC, 0.5);
        EXPECT_EQ(g_pages->ReadPageText(Control::Web_IP), u"");
    }
    {
        SCOPED_TRACE("a page that never finishes: what it shows at the limit");
        const auto begun = Clock::now();
        EXPECT_EQ(g_pages->LoadPage(Control::Web_IP, server.url("/partial")), u"arrived so far");
        EXPECT_GE(since(begun), 2s);
        EXPECT_LT(since(begun), 6s);
    }
}

TEST(WebPagesWait, ReadingAgainMakesNoRequest) {
    LocalHttpServer server;
    serve(server, "/province", std::string("<html><body>") + kPriceLineUtf8 + "</body></html>");
    server.start();

    EXPECT_EQ(g_pages->LoadPage(Control::Web_QiYouJiaGe, server.url("/province")), kPriceLine);
    EXPECT_EQ(g_pages->ReadPageText(Control::Web_QiYouJiaGe), kPriceLine);
    EXPECT_EQ(g_pages->LoadPage(Control::Web_QiYouJiaGe, std::nullopt), kPriceLine);
    // A fragment moves within the page shown: no request, and no load to wait for.
    const auto start = Clock::now();
    EXPECT_EQ(g_pages->LoadPage(Control::Web_QiYouJiaGe, server.url("/province#today")),
              kPriceLine);
    EXPECT_LT(since(start), 2s);
    EXPECT_EQ(server.count("/province"), 1);
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
        const std::u16string text = g_pages->LoadPage(Control::Web_YouJia, row.address);
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
    EXPECT_EQ(g_pages->LoadPage(Control::Web_QiYouJiaGe_2, server.url("/dialogs")),
              u"confirm false prompt null window refused");
    EXPECT_LT(since(start), 8s);
    // Let a late pop-up or hand-over to another program show itself, if there were one.
    QEventLoop settle;
    QTimer::singleShot(500ms, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(server.count("/popup"), 0);
    EXPECT_TRUE(QGuiApplication::topLevelWindows().isEmpty());
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
    EXPECT_EQ(g_pages->LoadPage(Control::Web_YouJia, server.url("/heavy")),
              u"price table by script");
    EXPECT_LT(since(start), 5s);
    EXPECT_EQ(server.count("/script.js"), 1);
    for (const std::string& path : server.log()) {
        EXPECT_EQ(path.rfind("/hang/", 0), std::string::npos) << path << " was requested";
    }
}

TEST(WebPagesAbort, AbortEndsTheWaitAndEveryLaterLoad) {
    LocalHttpServer server;
    server.routes().Get("/silent",
                        [&server](const httplib::Request&, httplib::Response&) { server.hang(); });
    server.start();

    WebPages pages;
    // A control sent nowhere yet holds no page: nothing to wait for.
    const auto start = Clock::now();
    EXPECT_EQ(pages.LoadPage(Control::Web_QiYouJiaGe_2, std::nullopt), u"");
    EXPECT_LT(since(start), 100ms);

    QTimer::singleShot(300ms, &pages, &WebPages::abort);
    const auto begun = Clock::now();
    EXPECT_THROW(pages.LoadPage(Control::Web_IP, server.url("/silent")), RunAborted);
    EXPECT_LT(since(begun), 5s);
    EXPECT_THROW(pages.LoadPage(Control::Web_YouJia, std::nullopt), RunAborted);
}

TEST(WebPagesWait, APageThatHangsTheSharedRendererCostsOnlyItsOwnLoad) {
    LocalHttpServer server;
    serve(server, "/spin", "<html><body>spinning<script>for (;;) {}</script></body></html>");
    serve(server, "/after", "<html><body>after</body></html>");
    server.start();

    const TimeLimit limit(2s);
    const auto start = Clock::now();
    EXPECT_EQ(g_pages->LoadPage(Control::Web_QiYouJiaGe, server.url("/spin")), u"");
    EXPECT_EQ(g_pages->LoadPage(Control::Web_YouJia, server.url("/after")), u"after");
    EXPECT_LT(since(start), 6s);
}

TEST(WebPagesEngine, WithoutAnEngineOrAfterReleaseEveryLoadIsEmptyAtOnce) {
    LocalHttpServer server;
    serve(server, "/page", "<html><body>page</body></html>");
    server.start();

    WebPages unusable(EngineState::Unusable);
    WebPages released;
    EXPECT_EQ(released.LoadPage(Control::Web_IP, server.url("/page")), u"page");
    released.release();
    EXPECT_EQ(released.ReadPageText(Control::Web_IP), u"page");

    for (WebPages* pages : {&unusable, &released}) {
        SCOPED_TRACE(pages == &unusable ? "unusable" : "released");
        const auto start = Clock::now();
        EXPECT_EQ(pages->LoadPage(Control::Web_YouJia, server.url("/page")), u"");
        EXPECT_EQ(pages->LoadPage(Control::Web_IP, std::nullopt), u"");
        EXPECT_LT(since(start), 100ms);
    }
    EXPECT_EQ(server.count("/page"), 1);
}

}  // namespace
}  // namespace brevane

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing a test loads can reach past this machine.
    brevane::EngineSetup engine(argc, argv, {.loopbackOnly = true, .unsandboxedAsRoot = true});
    QApplication app(engine.argc(), engine.argv());
    brevane::WebPages pages;
    brevane::g_pages = &pages;
    return RUN_ALL_TESTS();
}

#include "web_pages_test.moc"
