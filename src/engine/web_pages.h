// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The five hidden browser pages on Qt WebEngine, as the page helper runs them.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "pageproto/page_protocol.h"

class QUrl;
class QWebEngineProfile;

namespace brevane {

class HiddenPage;
class WebRequestFilter;

/// How one load or read ended, and the text it gives.
struct PageResult {
    pageproto::Outcome outcome = pageproto::Outcome::Failed;
    QString detail;  ///< the HTTP status or the reason, as far as known
    std::u16string text;
};

/// The five browser controls as hidden QWebEnginePages sharing one off-the-record
/// profile (nothing reaches the disk). Every page works on its own: a load or a read
/// returns at once, and its answer comes later, through the event loop, once the
/// navigation it asked for has finished, well or not, or its time limit has run out, and
/// the page's text has been read from its document. A read reads the document as the
/// page's scripts have left it by then; it fails when that document can no longer be
/// read. Pages keep nothing of their loads but their documents.
///
/// The engine starts with warmUp(), or else with the first load, and ends with release():
/// from then on every load and read fails at once, and no answer still due comes.
class WebPages : public QObject {
    Q_OBJECT
public:
    /// Called once with the result of a load or a read.
    using Answer = std::function<void(PageResult)>;

    explicit WebPages(QObject* parent = nullptr);
    ~WebPages() override;

    /// Sends `browser` to `address`. A load or read of the same page still running ends
    /// first, as failed.
    void load(Control browser, std::u16string_view address, std::chrono::milliseconds limit,
              Answer answer);
    /// Reads the text of the document `browser` shows now.
    void read(Control browser, std::chrono::milliseconds limit, Answer answer);

    /// Starts the engine ahead of the first load: the profile, the five pages with a
    /// blank document each, and their renderer processes. Requests nothing from
    /// the network; warmedUp() follows once every blank page is done.
    void warmUp();
    /// Ends the pages and their profile, and with them every renderer process.
    void release();

signals:
    void warmedUp();

private:
    class Job;
    struct Slot {
        Control control = Control::Web_IP;
        std::unique_ptr<HiddenPage> page;
        int serial = 0;             // navigations requested so far; 0 = sent nowhere yet
        bool readable = false;      // the last load left a document of its own
        bool documentGone = false;  // its renderer has ended since
        bool warming = false;       // the warm-up's blank page is loading
        std::unique_ptr<Job> job;   // the load or read in progress
    };

    /// Creates the profile and the pages unless they exist; false once released.
    bool start();
    Slot* slotOf(Control browser);
    /// The warm-up's blank page of `slot` is done, well or not.
    void endWarmUp(Slot& slot);
    void onRendererEnded(Slot& slot);
    /// Ends the job of `slot` with `result`, unless another has taken its place.
    void finish(Slot& slot, const Job* job, PageResult result);
    /// Gives `slot` a new job, ending the one in progress as failed.
    Job& begin(Slot& slot, Answer answer, std::chrono::milliseconds limit);

    bool m_released = false;
    bool m_warm = false;
    // Destroyed in reverse order: the pages before their profile, the profile before the
    // filter it uses.
    std::unique_ptr<WebRequestFilter> m_filter;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::array<Slot, kBrowserCount> m_slots;
};

}  // namespace brevane
