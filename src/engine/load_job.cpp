// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One load or read of one hidden page, from its request to its answer.
#include "engine/load_job.h"

#include <QCoreApplication>
#include <QPointer>
#include <QVariant>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>

#include <signal.h>

#include <algorithm>
#include <utility>

#include "engine/hidden_page.h"
#include "pagetext/page_text.h"

namespace brevane {

namespace {

using Clock = std::chrono::steady_clock;
using pageproto::Outcome;
using pageserve::PageResult;
using std::chrono::milliseconds;

// A hostile page must not exhaust memory: only this much of its document is read.
constexpr qsizetype kMaxHtmlChars = 16 * 1024 * 1024;  // UTF-16 code units, in the page
constexpr qsizetype kMaxHtmlBytes = 32 * 1024 * 1024;  // UTF-8, handed to the parser
// A load reports its start at once, long before any answer, and a start-up document ends
// as soon; one that reports nothing in this time never will.
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

// The engine names a status only for an error answer.
PageResult Finished(const QWebEngineLoadingInfo& info) {
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus) {
        return {Outcome::Loaded, u"HTTP status below 400", {}};
    }
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        return {Outcome::Failed,
                u"HTTP status " + QString::number(info.errorCode()).toStdU16String(),
                {}};
    }
    return {Outcome::Failed, info.errorString().toStdU16String(), {}};
}

milliseconds Until(Clock::time_point deadline) {
    return std::max(milliseconds(0),
                    std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
}

}  // namespace

LoadJob::LoadJob(HiddenPage& page, PageHistory& history, PageContext& context,
                 pageserve::PageEngine::Done done, milliseconds limit)
    : m_page(page),
      m_history(history),
      m_context(context),
      m_done(std::move(done)),
      m_limit(std::max(limit, milliseconds(1))),
      m_deadline(Clock::now() + m_limit) {
    for (QTimer* timer : {&m_startTimer, &m_deadlineTimer, &m_readTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
}

void LoadJob::startLoad(const QUrl& url) {
    m_url = url;
    if (!m_context.warming(m_page)) {
        navigate();
        return;
    }
    // The start-up document, still loading, finishes first: its end must not pass for
    // this navigation's.
    m_phase = Phase::AwaitWarmUp;
    connect(&m_startTimer, &QTimer::timeout, this, &LoadJob::navigate);
    m_startTimer.start(std::min(Until(m_deadline), kStartGrace));
}

void LoadJob::warmUpEnded() {
    if (m_phase != Phase::AwaitWarmUp) {
        return;
    }
    // The page is still telling of that end; the navigation starts once it is done.
    m_startTimer.stop();
    m_startTimer.disconnect(this);
    QTimer::singleShot(0, this, [this] {
        if (m_phase == Phase::AwaitWarmUp) {
            navigate();
        }
    });
}

void LoadJob::startMoveWithinDocument(const QUrl& url) {
    // The engine reports no load for this, and the document stays the one shown.
    m_page.load(url);
    startRead();
}

void LoadJob::startRead() {
    m_isRead = true;
    if (m_history.serial == 0) {
        finish({Outcome::Loaded, u"holds no page", {}});
    } else if (!m_history.readable) {
        finish({Outcome::Failed, u"no document of its own", {}});
    } else if (m_history.rendererEnds != m_context.rendererEnds(m_page)) {
        finish({Outcome::Unreadable, u"renderer process ended", {}});
    } else {
        readText();
    }
}

void LoadJob::refuse(PageResult result) {
    m_history.readable = false;
    finish(std::move(result));
}

void LoadJob::navigate() {
    quiet();
    m_phase = Phase::Navigating;
    m_context.navigating(m_page);
    // Load signals of this page's earlier navigation may still sit in the queue; let them
    // be delivered now, before this navigation listens.
    QCoreApplication::sendPostedEvents(&m_page);
    ++m_history.serial;
    m_history.readable = false;
    connect(&m_page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                onLoadingChanged(info.status() == QWebEngineLoadingInfo::LoadStartedStatus,
                                 Finished(info));
            });
    // A crashed renderer finishes no load and leaves no document to read. Only a
    // navigation still under way when the renderer ends goes on, in a fresh one: the
    // renderer held no more than the document the page is leaving.
    connect(&m_page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        if (!m_page.isLoading()) {
            loaded({Outcome::Failed, u"renderer process ended", {}});
        }
    });
    // One that reports no start was dropped by the engine, and nothing will end it.
    connect(&m_startTimer, &QTimer::timeout, this, [this] {
        if (!m_started && !m_page.isLoading()) {
            loaded({Outcome::Failed, u"load never started", {}});
        }
    });
    connect(&m_deadlineTimer, &QTimer::timeout, this, [this] {
        // Stopping reports an end, which is not this navigation's own any more.
        m_page.disconnect(this);
        m_page.triggerAction(QWebEnginePage::Stop);
        loaded({Outcome::TimedOut, {}, {}});
    });
    m_page.load(m_url);
    m_startTimer.start(std::min(Until(m_deadline), kStartGrace));
    m_deadlineTimer.start(Until(m_deadline));
}

void LoadJob::onLoadingChanged(bool started, PageResult finished) {
    if (started) {
        m_started = true;
    } else if (m_started && !m_page.isLoading()) {
        loaded(std::move(finished));
    }
}

void LoadJob::loaded(PageResult result) {
    if (m_phase != Phase::Navigating) {
        return;
    }
    quiet();
    m_result = std::move(result);
    m_history.readable = m_result.outcome != Outcome::Failed;
    m_history.rendererEnds = m_context.rendererEnds(m_page);
    if (m_history.readable) {
        readText();
    } else {
        finish(std::move(m_result));
    }
}

void LoadJob::readText() {
    m_phase = Phase::Reading;
    const QString script = QString::fromUtf16(kReadScript).arg(m_history.serial).arg(kMaxHtmlChars);
    // The renderer may answer after this job is gone.
    const QPointer<LoadJob> self(this);
    m_page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [self](const QVariant& html) {
        if (self == nullptr || self->m_phase != Phase::Reading) {
            return;
        }
        if (html.typeId() != QMetaType::QString) {
            self->textRead(std::nullopt, u"no document to read");
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
        self->textRead(
            PageTextFromHtml(std::string_view(utf8.constData(), std::size_t(utf8.size()))));
    });
    connect(&m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this] { textRead(std::nullopt, u"renderer process ended"); });
    connect(&m_readTimer, &QTimer::timeout, this, &LoadJob::onReadTimedOut);
    m_readTimer.start(pageproto::ReadLimit(m_limit));
}

void LoadJob::onReadTimedOut() {
    // The renderer gives no answer: a script that never ends, or a document too big to lay
    // out, keeps it busy. One that no other page shares is ended, so that the page's next
    // load starts a fresh one instead of waiting out its limit too; the page learns of its
    // end at once, not during its next load. One shared with another page stays, and only
    // this page is given up.
    const qint64 renderer = m_page.renderProcessPid();
    if (renderer <= 0 || m_context.sharesRenderer(m_page)) {
        textRead(std::nullopt, u"renderer gave no text in time");
        return;
    }
    quiet();
    m_phase = Phase::EndingRenderer;
    const auto ended = [this] { textRead(std::nullopt, u"renderer gave no text in time, ended"); };
    connect(&m_page, &QWebEnginePage::renderProcessTerminated, this, ended);
    connect(&m_readTimer, &QTimer::timeout, this, ended);
    m_readTimer.start(pageproto::kRendererEnd);
    ::kill(static_cast<pid_t>(renderer), SIGKILL);
}

void LoadJob::textRead(std::optional<std::u16string> text, std::u16string why) {
    if (m_phase != Phase::Reading && m_phase != Phase::EndingRenderer) {
        return;
    }
    if (m_isRead) {
        finish(text ? PageResult{Outcome::Loaded, {}, std::move(*text)}
                    : PageResult{Outcome::Unreadable, std::move(why), {}});
    } else if (text) {
        m_result.text = std::move(*text);
        finish(std::move(m_result));
    } else if (m_result.outcome == Outcome::TimedOut) {
        // A page out of time whose text cannot be had either is still out of time.
        finish({Outcome::TimedOut, std::move(why), {}});
    } else {
        finish({Outcome::Unreadable, std::move(why), {}});
    }
}

void LoadJob::finish(PageResult result) {
    quiet();
    m_phase = Phase::Done;
    // The answer is the last thing this job does; it may come from inside a handler.
    const pageserve::PageEngine::Done done = std::move(m_done);
    if (done) {
        done(std::move(result));
    }
}

void LoadJob::abandon() {
    if (m_phase == Phase::Navigating) {
        m_page.disconnect(this);
        m_page.triggerAction(QWebEnginePage::Stop);
    }
    quiet();
    m_phase = Phase::Done;
    m_done = nullptr;
}

void LoadJob::quiet() {
    for (QTimer* timer : {&m_startTimer, &m_deadlineTimer, &m_readTimer}) {
        timer->stop();
        timer->disconnect(this);
    }
    m_page.disconnect(this);
}

}  // namespace brevane
