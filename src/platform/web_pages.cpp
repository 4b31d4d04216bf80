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

#include <algorithm>
#include <utility>

#include "pagetext/page_text.h"
#include "platform/hidden_page.h"
#include "platform/qt_text.h"
#include "platform/web_request_filter.h"

namespace brevane {

namespace {

// A hostile page must not exhaust memory: only this much of its document is read.
constexpr qsizetype kMaxHtmlChars = 16 * 1024 * 1024;  // UTF-16 code units, in the page
constexpr qsizetype kMaxHtmlBytes = 32 * 1024 * 1024;  // UTF-8, handed to the parser
constexpr std::chrono::milliseconds kReadLimit{5000};  // for a renderer that is stuck
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

}  // namespace

WebPages::WebPages(QObject* parent)
    : QObject(parent),
      m_filter(std::make_unique<WebRequestFilter>()),
      // A profile without a storage name is off the record: cookies, cache and web
      // storage live in memory and die with it.
      m_profile(std::make_unique<QWebEngineProfile>()) {
    m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);
    m_profile->setUrlRequestInterceptor(m_filter.get());
    configure(*m_profile->settings());
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });

    constexpr std::array<Control, kPageCount> browsers{
        Control::Web_IP,     Control::Web_QiYouJiaGe, Control::Web_QiYouJiaGe_2,
        Control::Web_YouJia, Control::Web_YouJia_2,
    };
    for (int i = 0; i < kPageCount; ++i) {
        Slot& slot = m_slots[i];
        slot.control = browsers[i];
        slot.page = std::make_unique<HiddenPage>(m_profile.get());
        HiddenPage* page = slot.page.get();
        connect(page, &QWebEnginePage::loadingChanged, this,
                [this, i](const QWebEngineLoadingInfo& info) { onLoadingChanged(i, info); });
        // A crashed renderer finishes no load and leaves no document to read.
        connect(page, &QWebEnginePage::renderProcessTerminated, this, [this, i] {
            if (i == m_waitIndex) {
                m_waitFailed = true;
                m_waitStart.finish();
                m_wait.finish();
            }
        });
    }
}

WebPages::~WebPages() {
    for (Slot& slot : m_slots) {
        slot.page->disconnect(this);
        slot.page.reset();
    }
}

void WebPages::Wait::finish() {
    done = true;
    if (loop != nullptr) {
        loop->quit();
    }
}

void WebPages::onLoadingChanged(int index, const QWebEngineLoadingInfo& info) {
    if (index != m_waitIndex) {
        return;
    }
    // Only a finish that follows a start seen after our load() belongs to our navigation;
    // anything earlier is the end of the page that was there before. A page that sends
    // itself on at once (a script redirect) is followed to where it lands.
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_waitStart.finish();
    } else if (m_waitStart.done && !m_slots[index].page->isLoading()) {
        m_waitFailed = info.status() == QWebEngineLoadingInfo::LoadFailedStatus;
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
    if (address.has_value()) {
        const QUrl url(ToQt(*address));
        if (slot->serial > 0 && movesWithinDocument(url, slot->page->url())) {
            // The engine reports no load for this, and the document stays the one shown.
            slot->page->load(url);
        } else {
            ++slot->serial;
            slot->text.clear();
            // Anything but a web address is not loaded (the engine would drop it without a
            // word). A failed load leaves no page of its own: an error answer's body is not
            // the page asked for.
            if (!isWebAddress(url) || navigateAndWait(*slot, url) == Outcome::Failed) {
                throwIfAborted();
                return {};
            }
            throwIfAborted();
        }
    } else if (slot->serial == 0) {
        return {};
    }
    slot->text = readText(*slot);
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

bool WebPages::waitUntil(Wait& wait, std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
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

WebPages::Outcome WebPages::navigateAndWait(Slot& slot, const QUrl& url) {
    const int index = int(&slot - m_slots.data());
    // Load signals of this page's earlier navigation may still sit in the queue; let them
    // be delivered now, while nobody waits for them.
    QCoreApplication::sendPostedEvents(slot.page.get());
    m_waitStart = Wait{};
    m_wait = Wait{};
    m_waitFailed = false;
    m_waitIndex = index;
    const auto now = std::chrono::steady_clock::now();
    const auto deadline = now + m_timeLimit;
    slot.page->load(url);
    // A load reports its start at once, long before any answer. One that reports nothing
    // was dropped by the engine, and nothing will ever end it.
    if (!waitUntil(m_waitStart, std::min(deadline, now + kStartGrace)) && !m_aborted &&
        !slot.page->isLoading()) {
        m_waitIndex = -1;
        return Outcome::Failed;
    }
    const bool finished = waitUntil(m_wait, deadline);
    m_waitIndex = -1;
    if (!finished) {
        slot.page->triggerAction(QWebEnginePage::Stop);
        return Outcome::TimedOut;
    }
    return m_waitFailed ? Outcome::Failed : Outcome::Loaded;
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
    if (!waitUntil(read->wait, std::chrono::steady_clock::now() + limit) ||
        read->html.typeId() != QMetaType::QString) {
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
