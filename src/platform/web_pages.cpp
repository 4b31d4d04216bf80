// The five hidden browser pages on Qt WebEngine: the program's only way to the web.
#include "platform/web_pages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include <signal.h>

#include <algorithm>
#include <utility>

#include "pagetext/page_text.h"
#include "platform/hidden_page.h"
#include "platform/logging.h"
#include "platform/qt_text.h"
#include "platform/web_request_filter.h"

namespace brevane {

namespace {

// A hostile page must not exhaust memory: only this much of its document is read.
constexpr qsizetype kMaxHtmlChars = 16 * 1024 * 1024;  // UTF-16 code units, in the page
constexpr qsizetype kMaxHtmlBytes = 32 * 1024 * 1024;  // UTF-8, handed to the parser
constexpr std::chrono::milliseconds kReadLimit{5000};  // then the renderer counts as stuck
constexpr std::chrono::milliseconds kStartGrace{3000};

using Clock = std::chrono::steady_clock;

// Runs in the application's own script world, which the page's scripts cannot see.
// Each document is stamped with the number of the navigation that first read it; a
// document stamped by an earlier navigation is the previous page still on show (the
// new one failed or never arrived), and its text must not pass for the new page's.
constexpr char16_t kReadScript[] =
    uR"js(
(function (serial, cap) {
    if (window.__loadSerial === undefined) {
        window.__loadSerial = serial;
    }
    if (window.__loadSerial !== serial) {
        return null;
    }
    var root = document.documentElement;
    if (!root) {
        return '';
    }
    var html = root.outerHTML;
    return html.length > cap ? html.substring(0, cap) : html;
})(%1, %2)
)js";

bool isWebAddress(const QUrl& url) {
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") &&
           !url.host().isEmpty();
}

// A new fragment on the page shown moves within its document, as a browser does it.
bool movesWithinDocument(const QUrl& url, const QUrl& shown) {
    return url.hasFragment() &&
           url.adjusted(QUrl::RemoveFragment) == shown.adjusted(QUrl::RemoveFragment);
}

void configure(QWebEngineSettings& settings) {
    using S = QWebEngineSettings;
    // Nothing the user would see or hear, nothing that reaches beyond the page.
    for (const S::WebAttribute off : {
             S::AutoLoadImages,
             S::PluginsEnabled,
             S::JavascriptCanOpenWindows,
             S::JavascriptCanAccessClipboard,
             S::JavascriptCanPaste,
             S::ErrorPageEnabled,
             S::FullScreenSupportEnabled,
             S::ScreenCaptureEnabled,
             S::WebGLEnabled,
             S::Accelerated2dCanvasEnabled,
             S::HyperlinkAuditingEnabled,
             S::DnsPrefetchEnabled,
             S::PdfViewerEnabled,
             S::AutoLoadIconsForPage,
             S::TouchIconsEnabled,
             S::FocusOnNavigationEnabled,
             S::AllowRunningInsecureContent,
             S::AllowGeolocationOnInsecureOrigins,
             S::LocalContentCanAccessRemoteUrls,
             S::LocalContentCanAccessFileUrls,
             S::NavigateOnDropEnabled,
         }) {
        settings.setAttribute(off, false);
    }
    settings.setAttribute(S::PlaybackRequiresUserGesture, true);
    settings.setAttribute(S::WebRTCPublicInterfacesOnly, true);
}

QString OutcomeName(int outcome) {
    static const char* const names[] = {"loaded", "failed", "timed out", "aborted"};
    return QLatin1String(names[outcome]);
}

// "Web_IP http://host/ loaded (HTTP status below 400) in 38 ms, 1200 characters"
void LogLoad(Control browser, const QUrl& url, const QString& outcome, const QString& detail,
             std::chrono::milliseconds took, std::size_t characters) {
    const std::string_view name = SpecOf(browser).name;
    qCDebug(lcPages).noquote() << QStringLiteral("%1 %2 %3%4 in %5 ms, %6 characters")
                                      .arg(QLatin1String(name.data(), qsizetype(name.size())),
                                           url.toString(), outcome,
                                           detail.isEmpty() ? detail
                                                            : QStringLiteral(" (%1)").arg(detail),
                                           QString::number(took.count()),
                                           QString::number(characters));
}

}  // namespace

WebPages::WebPages(EngineState engine, QObject* parent) : QObject(parent), m_engine(engine) {
    const Control controls[kPageCount] = {Control::Web_IP, Control::Web_QiYouJiaGe,
                                          Control::Web_QiYouJiaGe_2, Control::Web_YouJia,
                                          Control::Web_YouJia_2};
    for (int i = 0; i < kPageCount; ++i) {
        m_slots[i].control = controls[i];
    }
}

WebPages::~WebPages() {
    release();
}

bool WebPages::start() {
    if (m_profile != nullptr) {
        return true;
    }
    if (m_engine == EngineState::Unusable || m_released) {
        return false;
    }
    m_filter = std::make_unique<WebRequestFilter>();
    // A profile without a storage name is off the record: cookies, cache and web storage
    // live in memory and die with it. Making the first profile starts the engine.
    m_profile = std::make_unique<QWebEngineProfile>();
    m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);
    m_profile->setUrlRequestInterceptor(m_filter.get());
    configure(*m_profile->settings());
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });

    for (int i = 0; i < kPageCount; ++i) {
        Slot& slot = m_slots[i];
        slot.page = std::make_unique<HiddenPage>(m_profile.get());
        HiddenPage* page = slot.page.get();
        connect(page, &QWebEnginePage::loadingChanged, this,
                [this, i](const QWebEngineLoadingInfo& info) { onLoadingChanged(i, info); });
        // A crashed renderer finishes no load and leaves no document to read.
        connect(page, &QWebEnginePage::renderProcessTerminated, this, [this, i] {
            m_rendererEnd.finish();
            if (m_slots[i].warming) {
                m_slots[i].warming = false;
                m_slots[i].blank.finish();
            }
            if (i == m_waitIndex) {
                m_waitEnd = {Outcome::Failed, QStringLiteral("renderer process ended")};
                m_waitStart.finish();
                m_wait.finish();
            }
        });
    }
    return true;
}

void WebPages::warmUp() {
    if (m_aborted || m_profile != nullptr || !start()) {
        return;
    }
    // A page sets itself up in the engine with its first load. A blank document asks
    // nothing of the network, yet starts the renderer process that every page shares.
    for (Slot& slot : m_slots) {
        slot.warming = true;
        slot.blank = Wait{};
        slot.page->load(QUrl(QStringLiteral("about:blank")));
    }
}

void WebPages::release() {
    m_released = true;
    for (Slot& slot : m_slots) {
        if (slot.page != nullptr) {
            slot.page->disconnect(this);
            slot.page.reset();
        }
    }
    m_profile.reset();
    m_filter.reset();
}

void WebPages::Wait::finish() {
    done = true;
    if (loop != nullptr) {
        loop->quit();
    }
}

void WebPages::onLoadingChanged(int index, const QWebEngineLoadingInfo& info) {
    const bool started = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
    Slot& slot = m_slots[index];
    if (slot.warming && !started) {
        slot.warming = false;
        slot.blank.finish();
        return;
    }
    if (index != m_waitIndex) {
        return;
    }
    // Only a finish that follows a start seen after our load() belongs to our navigation;
    // anything earlier is the end of the page that was there before. A page that sends
    // itself on at once (a script redirect) is followed to where it lands.
    if (started) {
        m_waitStart.finish();
    } else if (m_waitStart.done && !slot.page->isLoading()) {
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus) {
            // The engine names a status only for an error answer.
            m_waitEnd = {Outcome::Loaded, QStringLiteral("HTTP status below 400")};
        } else if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
            m_waitEnd = {Outcome::Failed, QStringLiteral("HTTP status %1").arg(info.errorCode())};
        } else {
            m_waitEnd = {Outcome::Failed, info.errorString()};
        }
        m_wait.finish();
    }
}

std::u16string WebPages::LoadPage(Control browser, std::optional<std::u16string_view> address) {
    throwIfAborted();
    Slot* slot = slotOf(browser);
    // Loads run one after another; one asked for from inside another's wait (an event
    // handler running during it) would take that wait over, so it gets nothing.
    if (slot == nullptr || m_loop != nullptr) {
        return {};
    }
    if (!address.has_value()) {
        // Nothing is requested: the page the control holds, if any, is read again.
        if (slot->serial == 0 || !start()) {
            return {};
        }
        slot->text = readText(*slot);
        throwIfAborted();
        return slot->text;
    }

    const auto begun = Clock::now();
    const QUrl url(ToQt(*address));
    Report report;
    if (!start()) {
        slot->text.clear();
        report.detail = m_released ? QStringLiteral("pages already released")
                                   : QStringLiteral("browser engine unusable");
    } else if (slot->serial > 0 && movesWithinDocument(url, slot->page->url())) {
        // The engine reports no load for this, and the document stays the one shown.
        slot->page->load(url);
        report = {Outcome::Loaded, QStringLiteral("same document")};
    } else {
        ++slot->serial;
        slot->text.clear();
        // Anything but a web address is not loaded (the engine would drop it without a
        // word).
        report = isWebAddress(url) ? navigateAndWait(*slot, url)
                                   : Report{Outcome::Failed, QStringLiteral("not a web address")};
    }
    // A failed load leaves no page of its own: an error answer's body is not the page
    // asked for.
    if (report.outcome == Outcome::Loaded || report.outcome == Outcome::TimedOut) {
        slot->text = readText(*slot);
    }
    if (m_aborted) {
        report.outcome = Outcome::Aborted;
        slot->text.clear();
    }
    LogLoad(browser, url, OutcomeName(static_cast<int>(report.outcome)), report.detail,
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begun),
            slot->text.size());
    throwIfAborted();
    return slot->text;
}

std::u16string WebPages::ReadPageText(Control browser) {
    const Slot* slot = slotOf(browser);
    return slot != nullptr ? slot->text : std::u16string();
}

void WebPages::abort() {
    m_aborted = true;
    if (m_waitIndex >= 0) {
        m_slots[m_waitIndex].page->triggerAction(QWebEnginePage::Stop);
    }
    if (m_loop != nullptr) {
        m_loop->quit();
    }
}

void WebPages::setTimeLimit(std::chrono::milliseconds limit) {
    m_timeLimit = std::max(limit, std::chrono::milliseconds(1));
}

WebPages::Slot* WebPages::slotOf(Control browser) {
    return const_cast<Slot*>(std::as_const(*this).slotOf(browser));
}

const WebPages::Slot* WebPages::slotOf(Control browser) const {
    const auto it = std::find_if(m_slots.begin(), m_slots.end(),
                                 [browser](const Slot& slot) { return slot.control == browser; });
    return it != m_slots.end() ? &*it : nullptr;
}

bool WebPages::waitUntil(Wait& wait, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (wait.done || m_aborted || left.count() <= 0) {
        return wait.done;
    }
    QEventLoop loop;
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    timer.start(left);
    wait.loop = &loop;
    m_loop = &loop;
    while (!wait.done && !timedOut && !m_aborted) {
        loop.exec();
    }
    m_loop = nullptr;
    wait.loop = nullptr;
    return wait.done;
}

WebPages::Report WebPages::navigateAndWait(Slot& slot, const QUrl& url) {
    const int index = int(&slot - m_slots.data());
    const auto now = Clock::now();
    const auto deadline = now + m_timeLimit;
    // The warm-up's blank page, should it still be loading, finishes first: its end
    // must not pass for this navigation's.
    if (slot.warming) {
        waitUntil(slot.blank, std::min(deadline, now + kStartGrace));
        slot.warming = false;
    }
    // Load signals of this page's earlier navigation may still sit in the queue; let them
    // be delivered now, while nobody waits for them.
    QCoreApplication::sendPostedEvents(slot.page.get());
    m_waitStart = Wait{};
    m_wait = Wait{};
    m_waitEnd = Report{};
    m_waitIndex = index;
    slot.page->load(url);
    // A load reports its start at once, long before any answer. One that reports nothing
    // was dropped by the engine, and nothing will ever end it.
    const auto started = Clock::now();
    if (!waitUntil(m_waitStart, std::min(deadline, started + kStartGrace)) && !m_aborted &&
        !slot.page->isLoading()) {
        m_waitIndex = -1;
        return {Outcome::Failed, QStringLiteral("load never started")};
    }
    const bool finished = waitUntil(m_wait, deadline);
    m_waitIndex = -1;
    if (!finished) {
        slot.page->triggerAction(QWebEnginePage::Stop);
        return {m_aborted ? Outcome::Aborted : Outcome::TimedOut, QString()};
    }
    return m_waitEnd;
}

std::u16string WebPages::readText(Slot& slot) {
    struct Read {
        Wait wait;
        QVariant html;
    };
    // Held by the callback too: a renderer may answer after this function gave up.
    const auto read = std::make_shared<Read>();
    const QString script = QString::fromUtf16(kReadScript).arg(slot.serial).arg(kMaxHtmlChars);
    slot.page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                             [read](const QVariant& result) {
                                 read->html = result;
                                 read->wait.finish();
                             });
    const auto limit = std::min<std::chrono::milliseconds>(m_timeLimit, kReadLimit);
    if (!waitUntil(read->wait, Clock::now() + limit)) {
        // The renderer gives no answer: a script that never ends, or a document too big
        // to lay out, keeps it busy. Every page shares it, so it is ended, and the next
        // load starts a fresh one instead of waiting out its limit too.
        const qint64 renderer = slot.page->renderProcessPid();
        if (!m_aborted && renderer > 0) {
            m_rendererEnd = Wait{};
            ::kill(static_cast<pid_t>(renderer), SIGKILL);
            // Every page learns of it at once; none must learn of it during the next load.
            waitUntil(m_rendererEnd, Clock::now() + kStartGrace);
        }
        return {};
    }
    if (read->html.typeId() != QMetaType::QString) {
        return {};
    }
    QByteArray utf8 = read->html.toString().toUtf8();
    if (utf8.size() > kMaxHtmlBytes) {
        qsizetype end = kMaxHtmlBytes;
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            --end;
        }
        utf8.truncate(end);
    }
    return PageTextFromHtml(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

void WebPages::throwIfAborted() const {
    if (m_aborted) {
        throw RunAborted();
    }
}

}  // namespace brevane
