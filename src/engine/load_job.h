// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One load or read of one hidden page, from its request to its answer: a small state
// machine.
#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>
#include <string>

#include "pageserve/page_service.h"

namespace brevane {

class HiddenPage;

/// What a page's requests know of the page, written by its load jobs alone.
struct PageHistory {
    int serial = 0;         ///< navigations requested so far; 0 = sent nowhere yet
    bool readable = false;  ///< the last load left a document of its own
    int rendererEnds = 0;   ///< the page's renderer ends counted when that load ended
};

/// What a load job asks of the pages around it, and tells them.
class PageContext {
public:
    /// How many times the page's renderer has ended so far.
    virtual int rendererEnds(const HiddenPage& page) const = 0;
    /// The page's blank start-up document is still loading.
    virtual bool warming(const HiddenPage& page) const = 0;
    /// Another page renders in the same process as this one.
    virtual bool sharesRenderer(const HiddenPage& page) const = 0;
    /// The page is being sent somewhere, which ends its start-up document.
    virtual void navigating(const HiddenPage& page) = 0;

protected:
    ~PageContext() = default;
};

/// One request of one page. It goes through its phases in one direction and answers once;
/// after that it reacts to nothing, and stays until the page's next request replaces it.
///
/// A load follows its navigation: only a finish that follows a start seen after the
/// request belongs to it, as anything earlier is the end of the page that was there
/// before, and a page that sends itself on at once (a script redirect) is followed to where
/// it lands. Then the page's text is read, unless the load failed: an error answer's body is
/// not the page asked for. A renderer that does not give the text in time is ended, unless
/// another page renders in it too: then this page alone is given up.
class LoadJob : public QObject {
public:
    enum class Phase {
        Idle,            ///< made, not started
        AwaitWarmUp,     ///< the page's start-up document still loads; navigation follows it
        Navigating,      ///< the navigation asked for is under way
        Reading,         ///< the document's text is being read
        EndingRenderer,  ///< the renderer did not answer and is being ended
        Done,            ///< answered, or abandoned
    };

    LoadJob(HiddenPage& page, PageHistory& history, PageContext& context,
            pageserve::PageEngine::Done done, std::chrono::milliseconds limit);

    void startLoad(const QUrl& url);
    /// The address moves within the document shown: nothing loads, the text is read.
    void startMoveWithinDocument(const QUrl& url);
    void startRead();
    /// Fails at once without touching the page.
    void refuse(pageserve::PageResult result);
    /// The page's start-up document is done: the navigation may start.
    void warmUpEnded();
    /// Nobody waits for the answer any more: stops whatever is under way, answers nothing.
    void abandon();

    Phase phase() const { return m_phase; }

private:
    void navigate();
    void onLoadingChanged(bool started, pageserve::PageResult finished);
    /// The navigation has ended: the page's text is read unless it failed.
    void loaded(pageserve::PageResult result);
    void readText();
    void onReadTimedOut();
    /// The text, or why there is none.
    void textRead(std::optional<std::u16string> text, std::u16string why = {});
    void finish(pageserve::PageResult result);
    /// Stops the timers and every connection to the page.
    void quiet();

    HiddenPage& m_page;
    PageHistory& m_history;
    PageContext& m_context;
    pageserve::PageEngine::Done m_done;
    std::chrono::milliseconds m_limit;
    std::chrono::steady_clock::time_point m_deadline;
    Phase m_phase = Phase::Idle;
    bool m_isRead = false;
    bool m_started = false;  // the navigation has reported its start
    QUrl m_url;
    QTimer m_startTimer;
    QTimer m_deadlineTimer;
    QTimer m_readTimer;
    pageserve::PageResult m_result;
};

}  // namespace brevane
