// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The five hidden browser pages on Qt WebEngine, as the page helper runs them.
#include "engine/web_pages.h"

#include <QCoreApplication>
#include <QPointer>
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

using Clock = std::chrono::steady_clock;
using pageproto::Outcome;
using std::chrono::milliseconds;

// A hostile page must not exhaust memory: only this much of its document is read.
constexpr qsizetype kMaxHtmlChars = 16 * 1024 * 1024;  // UTF-16 code units, in the page
constexpr qsizetype kMaxHtmlBytes = 32 * 1024 * 1024;  // UTF-8, handed to the parser
// A load reports its start at once, long before any answer, and a warm-up's blank page
// ends as soon; one that reports nothing in this time never will.
constexpr milliseconds kStartGrace = pageproto::kRendererEnd;

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

milliseconds Until(Clock::time_point deadline) {
    return std::max(milliseconds(0),
                    std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
}

}  // namespace

// --- Job ----------------------------------------------------------------------------------

/// One load or read of one page, from its request to its answer. A load follows its
/// navigation: only a finish that follows a start seen after the request belongs to it,
/// as anything earlier is the end of the page that was there before, and a page that
/// sends itself on at once (a script redirect) is followed to where it lands. Then the
/// page's text is read, unless the load failed: an error answer's body is not the page
/// asked for. Once it has answered, a job reacts to nothing any more.
class WebPages::Job : public QObject {
public:
    Job(WebPages& pages, Slot& slot, Answer answer, milliseconds limit)
        : m_pages(pages),
          m_slot(slot),
          m_answer(std::move(answer)),
          m_limit(limit),
          m_deadline(Clock::now() + limit) {
        for (QTimer* timer : {&m_startTimer, &m_deadlineTimer, &m_readTimer}) {
            timer->setSingleShot(true);
            timer->setTimerType(Qt::PreciseTimer);
        }
    }

    Answer takeAnswer() {
        m_done = true;
        m_startTimer.stop();
        m_deadlineTimer.stop();
        m_readTimer.stop();
        if (m_slot.page != nullptr) {
            m_slot.page->disconnect(this);
        }
        m_pages.disconnect(this);
        return std::move(m_answer);
    }

    void startLoad(const QUrl& url) {
        m_url = url;
        if (!m_slot.warming) {
            navigate();
            return;
        }
        // The warm-up's blank page, still loading, finishes first: its end must not pass
        // for this navigation's.
        connect(&m_startTimer, &QTimer::timeout, this, [this] {
            m_startTimer.disconnect(this);
            navigate();
        });
        m_startTimer.start(std::min(Until(m_deadline), kStartGrace));
    }

    void startRead() {
        m_isRead = true;
        if (m_slot.serial == 0) {
            finish({Outcome::Loaded, QStringLiteral("holds no page"), {}});
        } else if (!m_slot.readable || m_slot.documentGone) {
            finish({Outcome::Failed, QStringLiteral("document no longer readable"), {}});
        } else {
            readText();
        }
    }

    /// The warm-up's blank page of this job's page is done. The navigation starts once
    /// the page has finished telling of that, not from inside it.
    void warmedUp() {
        if (!m_done && !m_url.isEmpty() && !m_navigating) {
            m_startTimer.stop();
            m_startTimer.disconnect(this);
            QTimer::singleShot(0, this, [this] {
                if (!m_done && !m_navigating) {
                    navigate();
                }
            });
        }
    }

private:
    void navigate() {
        m_navigating = true;
        m_slot.warming = false;
        HiddenPage& page = *m_slot.page;
        // Load signals of this page's earlier navigation may still sit in the queue; let
        // them be delivered now, before this navigation listens.
        QCoreApplication::sendPostedEvents(&page);
        ++m_slot.serial;
        m_slot.documentGone = false;
        connect(&page, &QWebEnginePage::loadingChanged, this,
                [this](const QWebEngineLoadingInfo& info) { onLoadingChanged(info); });
        // A crashed renderer finishes no load and leaves no document to read. Only a
        // navigation still under way when the renderer ends goes on, in a fresh one: the
        // renderer held no more than the document the page is leaving.
        connect(&page, &QWebEnginePage::renderProcessTerminated, this, [this] {
            if (!m_slot.page->isLoading()) {
                loaded({Outcome::Failed, QStringLiteral("renderer process ended"), {}});
            }
        });
        // One that reports no start was dropped by the engine, and nothing will end it.
        connect(&m_startTimer, &QTimer::timeout, this, [this] {
            if (!m_started && !m_slot.page->isLoading()) {
                loaded({Outcome::Failed, QStringLiteral("load never started"), {}});
            }
        });
        connect(&m_deadlineTimer, &QTimer::timeout, this, [this] {
            // Stopping reports an end, which is not this navigation's own any more.
            m_slot.page->disconnect(this);
            m_slot.page->triggerAction(QWebEnginePage::Stop);
            loaded({Outcome::TimedOut, QString(), {}});
        });
        page.load(m_url);
        m_startTimer.start(std::min(Until(m_deadline), kStartGrace));
        m_deadlineTimer.start(Until(m_deadline));
    }

    void onLoadingChanged(const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            m_started = true;
        } else if (m_started && !m_slot.page->isLoading()) {
            loaded(Finished(info));
        }
    }

    /// The navigation has ended: the page's text is read unless it failed.
    void loaded(PageResult result) {
        if (m_done || m_reading) {
            return;
        }
        m_startTimer.stop();
        m_deadlineTimer.stop();
        m_slot.page->disconnect(this);
        m_result = std::move(result);
        m_slot.readable = m_result.outcome != Outcome::Failed;
        if (m_slot.readable) {
            readText();
        } else {
            finish(std::move(m_result));
        }
    }

    void readText() {
        m_reading = true;
        const QString script =
            QString::fromUtf16(kReadScript).arg(m_slot.serial).arg(kMaxHtmlChars);
        // The renderer may answer after this job is gone.
        const QPointer<Job> self(this);
        m_slot.page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                   [self](const QVariant& html) {
                                       if (self != nullptr) {
                                           self->onHtml(html);
                                       }
                                   });
        connect(m_slot.page.get(), &QWebEnginePage::renderProcessTerminated, this,
                [this] { textRead(std::nullopt); });
        connect(&m_readTimer, &QTimer::timeout, this, [this] { onReadTimedOut(); });
        m_readTimer.start(pageproto::ReadLimit(m_limit));
    }

    void onHtml(const QVariant& html) {
        if (html.typeId() != QMetaType::QString) {
            textRead(std::nullopt);
            return;
        }
        QByteArray utf8 = html.toString().toUtf8();
        if (utf8.size() > kMaxHtmlBytes) {
            qsizetype end = kMaxHtmlBytes;
            while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
                --end;
            }
            utf8.truncate(end);
        }
        textRead(PageTextFromHtml(std::string_view(utf8.constData(), std::size_t(utf8.size()))));
    }

    void onReadTimedOut() {
        // The renderer gives no answer: a script that never ends, or a document too big
        // to lay out, keeps it busy. No other page loading beside this one shares it, so
        // it is ended, and the page's next load starts a fresh one instead of waiting out
        // its limit too. The page learns of its end at once, not during its next load.
        const qint64 renderer = m_slot.page->renderProcessPid();
        if (renderer <= 0) {
            textRead(std::nullopt);
            return;
        }
        m_slot.page->disconnect(this);
        connect(m_slot.page.get(), &QWebEnginePage::renderProcessTerminated, this,
                [this] { textRead(std::nullopt); });
        m_readTimer.disconnect(this);
        connect(&m_readTimer, &QTimer::timeout, this, [this] { textRead(std::nullopt); });
        m_readTimer.start(pageproto::kRendererEnd);
        ::kill(static_cast<pid_t>(renderer), SIGKILL);
    }

    void textRead(std::optional<std::u16string> text) {
        if (m_done) {
            return;
        }
        if (m_isRead) {
            finish(text ? PageResult{Outcome::Loaded, QString(), std::move(*text)}
                        : PageResult{
                              Outcome::Failed, QStringLiteral("document no longer readable"), {}});
            return;
        }
        m_result.text = std::move(text).value_or(std::u16string());
        finish(std::move(m_result));
    }

    void finish(PageResult result) { m_pages.finish(m_slot, this, std::move(result)); }

    WebPages& m_pages;
    Slot& m_slot;
    Answer m_answer;
    milliseconds m_limit;
    Clock::time_point m_deadline;
    QUrl m_url;
    QTimer m_startTimer;
    QTimer m_deadlineTimer;
    QTimer m_readTimer;
    PageResult m_result;
    bool m_isRead = false;
    bool m_navigating = false;
    bool m_started = false;
    bool m_reading = false;
    bool m_done = false;
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
    if (m_profile != nullptr || !start()) {
        return;
    }
    // A page sets itself up in the engine with its first load. A blank document asks
    // nothing of the network, yet starts the page's renderer process. The price pages
    // come first, each taking a renderer of its own; the location page, which loads
    // alone before them, comes last and shares one of theirs.
    const auto warm = [](Slot& slot) {
        slot.warming = true;
        slot.page->load(QUrl(QStringLiteral("about:blank")));
    };
    for (Slot& slot : m_slots) {
        if (slot.control != Control::Web_IP) {
            warm(slot);
        }
    }
    warm(*slotOf(Control::Web_IP));
}

void WebPages::release() {
    m_released = true;
    for (Slot& slot : m_slots) {
        // Its answer is not due any more.
        slot.job.reset();
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
    if (slot.job != nullptr) {
        slot.job->warmedUp();
    }
    const bool warm =
        std::none_of(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.warming; });
    if (warm && !m_warm) {
        m_warm = true;
        emit warmedUp();
    }
}

void WebPages::onRendererEnded(Slot& slot) {
    slot.documentGone = true;
    endWarmUp(slot);
}

WebPages::Slot* WebPages::slotOf(Control browser) {
    const auto it = std::find_if(m_slots.begin(), m_slots.end(),
                                 [browser](const Slot& slot) { return slot.control == browser; });
    return it != m_slots.end() ? &*it : nullptr;
}

WebPages::Job& WebPages::begin(Slot& slot, Answer answer, milliseconds limit) {
    if (slot.job != nullptr) {
        finish(slot, slot.job.get(),
               {Outcome::Failed, QStringLiteral("another request for this page came"), {}});
        // Its navigation, if still going, ends before the next one starts.
        if (slot.page->isLoading()) {
            slot.page->triggerAction(QWebEnginePage::Stop);
        }
    }
    slot.job = std::make_unique<Job>(*this, slot, std::move(answer), limit);
    return *slot.job;
}

void WebPages::finish(Slot& slot, const Job* job, PageResult result) {
    if (slot.job.get() != job || job == nullptr) {
        return;
    }
    Job* done = slot.job.release();
    const Answer answer = done->takeAnswer();
    // The job may be in one of its own handlers now.
    done->deleteLater();
    answer(std::move(result));
}

void WebPages::load(Control browser, std::u16string_view address, milliseconds limit,
                    Answer answer) {
    Slot* slot = slotOf(browser);
    const QUrl url(QString::fromStdU16String(std::u16string(address)));
    if (slot == nullptr || !start()) {
        answer({Outcome::Failed, QStringLiteral("pages already released"), {}});
        return;
    }
    Job& job = begin(*slot, std::move(answer), std::max(limit, milliseconds(1)));
    if (slot->serial > 0 && movesWithinDocument(url, slot->page->url())) {
        // The engine reports no load for this, and the document stays the one shown.
        slot->page->load(url);
        slot->readable = true;
        job.startRead();
    } else if (!isWebAddress(url)) {
        // The engine would drop it without a word.
        slot->readable = false;
        finish(*slot, &job, {Outcome::Failed, QStringLiteral("not a web address"), {}});
    } else {
        job.startLoad(url);
    }
}

void WebPages::read(Control browser, milliseconds limit, Answer answer) {
    Slot* slot = slotOf(browser);
    if (slot == nullptr || !start()) {
        answer({Outcome::Failed, QStringLiteral("pages already released"), {}});
        return;
    }
    begin(*slot, std::move(answer), std::max(limit, milliseconds(1))).startRead();
}

}  // namespace brevane
