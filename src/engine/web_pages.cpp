// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The five hidden browser pages on Qt WebEngine, as the page helper runs them.
#include "engine/web_pages.h"

#include <QCoreApplication>
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

#include "engine/hidden_page.h"
#include "engine/web_request_filter.h"
#include "pagetext/page_text.h"

namespace brevane {

namespace {

using Clock = Waiter::Clock;
using pageproto::Outcome;

// A hostile page must not exhaust memory: only this much of its document is read.
constexpr qsizetype kMaxHtmlChars = 16 * 1024 * 1024;  // UTF-16 code units, in the page
constexpr qsizetype kMaxHtmlBytes = 32 * 1024 * 1024;  // UTF-8, handed to the parser
constexpr std::chrono::milliseconds kReadLimit{5000};  // then the renderer counts as stuck
constexpr std::chrono::milliseconds kStartGrace{3000};

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

// The engine names a status only for an error answer.
PageResult Finished(const QWebEngineLoadingInfo& info) {
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus) {
        return {Outcome::Loaded, QStringLiteral("HTTP status below 400"), {}};
    }
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        return {Outcome::Failed, QStringLiteral("HTTP status %1").arg(info.errorCode()), {}};
    }
    return {Outcome::Failed, info.errorString(), {}};
}

}  // namespace

// --- Navigation ---------------------------------------------------------------------------

/// One navigation of one page, from its request to its end. Only a finish that follows
/// a start seen after the request belongs to it: anything earlier is the end of the page
/// that was there before. A page that sends itself on at once (a script redirect) is
/// followed to where it lands.
class WebPages::Navigation : public QObject {
public:
    Navigation(HiddenPage& page, Waiter& waiter) : m_page(page), m_waiter(waiter) {
        connect(&page, &QWebEnginePage::loadingChanged, this,
                [this](const QWebEngineLoadingInfo& info) { onLoadingChanged(info); });
        // A crashed renderer finishes no load and leaves no document to read.
        connect(&page, &QWebEnginePage::renderProcessTerminated, this, [this] {
            end({Outcome::Failed, QStringLiteral("renderer process ended"), {}});
        });
    }

    bool started() const { return m_started; }
    bool finished() const { return m_end.has_value(); }
    PageResult result() const { return m_end.value_or(PageResult{}); }

private:
    void onLoadingChanged(const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            m_started = true;
            m_waiter.wake();
        } else if (m_started && !m_page.isLoading()) {
            end(Finished(info));
        }
    }
    void end(PageResult result) {
        if (!m_end) {
            m_started = true;
            m_end = std::move(result);
        }
        m_waiter.wake();
    }

    HiddenPage& m_page;
    Waiter& m_waiter;
    bool m_started = false;
    std::optional<PageResult> m_end;
};

// --- WebPages -----------------------------------------------------------------------------

WebPages::WebPages(QObject* parent) : QObject(parent) {
    const auto browsers = BrowserControls();
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        m_slots[i].control = browsers[i];
    }
}

WebPages::~WebPages() {
    release();
}

bool WebPages::start() {
    if (m_profile != nullptr) {
        return true;
    }
    if (m_released) {
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

    for (Slot& slot : m_slots) {
        slot.page = std::make_unique<HiddenPage>(m_profile.get());
        HiddenPage* page = slot.page.get();
        connect(page, &QWebEnginePage::loadingChanged, this,
                [this, &slot](const QWebEngineLoadingInfo& info) {
                    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
                        endWarmUp(slot);
                    }
                });
        connect(page, &QWebEnginePage::renderProcessTerminated, this,
                [this, &slot] { onRendererEnded(slot); });
    }
    return true;
}

void WebPages::warmUp() {
    if (m_waiter.aborted() || m_profile != nullptr || !start()) {
        return;
    }
    // A page sets itself up in the engine with its first load. A blank document asks
    // nothing of the network, yet starts the renderer process that every page shares.
    for (Slot& slot : m_slots) {
        slot.warming = true;
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

void WebPages::endWarmUp(Slot& slot) {
    if (!slot.warming) {
        return;
    }
    slot.warming = false;
    m_waiter.wake();
    const bool warm =
        std::none_of(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.warming; });
    if (warm && !m_warm) {
        m_warm = true;
        emit warmedUp();
    }
}

void WebPages::onRendererEnded(Slot& slot) {
    ++m_rendererEnds;
    slot.documentGone = true;
    endWarmUp(slot);
    m_waiter.wake();
}

PageResult WebPages::load(Control browser, std::optional<std::u16string_view> address) {
    throwIfAborted();
    Slot* slot = slotOf(browser);
    // Loads run one after another; one asked for from inside another's wait (an event
    // handler running during it) would take that wait over, so it gets nothing.
    if (slot == nullptr || m_waiter.waiting()) {
        return {Outcome::Failed, QStringLiteral("another load is in progress"), {}};
    }
    if (!address.has_value()) {
        return read(browser);
    }

    const QUrl url(QString::fromStdU16String(std::u16string(*address)));
    PageResult result;
    if (!start()) {
        result = {Outcome::Failed, QStringLiteral("pages already released"), {}};
    } else if (slot->serial > 0 && movesWithinDocument(url, slot->page->url())) {
        // The engine reports no load for this, and the document stays the one shown.
        slot->page->load(url);
        result = {Outcome::Loaded, QStringLiteral("same document"), {}};
    } else if (!isWebAddress(url)) {
        // The engine would drop it without a word.
        result = {Outcome::Failed, QStringLiteral("not a web address"), {}};
    } else {
        result = navigate(*slot, url);
    }
    // A failed load leaves no page of its own: an error answer's body is not the page
    // asked for.
    slot->readable = result.outcome != Outcome::Failed;
    slot->text = slot->readable ? readText(*slot).value_or(std::u16string()) : std::u16string();
    throwIfAborted();
    result.text = slot->text;
    return result;
}

PageResult WebPages::read(Control browser) {
    throwIfAborted();
    Slot* slot = slotOf(browser);
    if (slot == nullptr || m_waiter.waiting()) {
        return {Outcome::Failed, QStringLiteral("another load is in progress"), {}};
    }
    if (slot->serial == 0) {
        return {Outcome::Loaded, QStringLiteral("holds no page"), {}};
    }
    std::optional<std::u16string> text;
    if (slot->readable && !slot->documentGone && start()) {
        text = readText(*slot);
    }
    throwIfAborted();
    if (!text) {
        return {Outcome::Failed, QStringLiteral("document no longer readable"), slot->text};
    }
    return {Outcome::Loaded, QString(), std::move(*text)};
}

void WebPages::abort() {
    m_waiter.abort();
    for (Slot& slot : m_slots) {
        if (slot.page != nullptr && slot.page->isLoading()) {
            slot.page->triggerAction(QWebEnginePage::Stop);
        }
    }
}

void WebPages::setTimeLimit(std::chrono::milliseconds limit) {
    m_timeLimit = std::max(limit, std::chrono::milliseconds(1));
}

WebPages::Slot* WebPages::slotOf(Control browser) {
    const auto it = std::find_if(m_slots.begin(), m_slots.end(),
                                 [browser](const Slot& slot) { return slot.control == browser; });
    return it != m_slots.end() ? &*it : nullptr;
}

PageResult WebPages::navigate(Slot& slot, const QUrl& url) {
    const auto now = Clock::now();
    const auto deadline = now + m_timeLimit;
    // The warm-up's blank page, should it still be loading, finishes first: its end
    // must not pass for this navigation's.
    m_waiter.until([&slot] { return !slot.warming; }, std::min(deadline, now + kStartGrace));
    slot.warming = false;
    // Load signals of this page's earlier navigation may still sit in the queue; let them
    // be delivered now, while nobody waits for them.
    QCoreApplication::sendPostedEvents(slot.page.get());

    ++slot.serial;
    slot.documentGone = false;
    const Navigation navigation(*slot.page, m_waiter);
    slot.page->load(url);
    // A load reports its start at once, long before any answer. One that reports nothing
    // was dropped by the engine, and nothing will ever end it.
    const auto started = Clock::now();
    if (!m_waiter.until([&] { return navigation.started(); },
                        std::min(deadline, started + kStartGrace)) &&
        !m_waiter.aborted() && !slot.page->isLoading()) {
        return {Outcome::Failed, QStringLiteral("load never started"), {}};
    }
    if (!m_waiter.until([&] { return navigation.finished(); }, deadline)) {
        slot.page->triggerAction(QWebEnginePage::Stop);
        return {Outcome::TimedOut, QString(), {}};
    }
    return navigation.result();
}

std::optional<std::u16string> WebPages::readText(Slot& slot) {
    struct Read {
        bool done = false;
        QVariant html;
    };
    // Held by the callback too: a renderer may answer after this function gave up.
    const auto read = std::make_shared<Read>();
    const QString script = QString::fromUtf16(kReadScript).arg(slot.serial).arg(kMaxHtmlChars);
    Waiter& waiter = m_waiter;
    slot.page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                             [read, &waiter](const QVariant& result) {
                                 read->html = result;
                                 read->done = true;
                                 waiter.wake();
                             });
    const auto limit = std::min<std::chrono::milliseconds>(m_timeLimit, kReadLimit);
    if (!m_waiter.until([&] { return read->done || slot.documentGone; }, Clock::now() + limit)) {
        // The renderer gives no answer: a script that never ends, or a document too big
        // to lay out, keeps it busy. Every page shares it, so it is ended, and the next
        // load starts a fresh one instead of waiting out its limit too.
        const qint64 renderer = slot.page->renderProcessPid();
        if (!m_waiter.aborted() && renderer > 0) {
            const int endsBefore = m_rendererEnds;
            ::kill(static_cast<pid_t>(renderer), SIGKILL);
            // Every page learns of it at once; none must learn of it during the next load.
            m_waiter.until([&] { return m_rendererEnds > endsBefore; }, Clock::now() + kStartGrace);
        }
        return std::nullopt;
    }
    if (!read->done || read->html.typeId() != QMetaType::QString) {
        return std::nullopt;
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
    if (m_waiter.aborted()) {
        throw RunAborted();
    }
}

}  // namespace brevane
