// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The five hidden browser pages on Qt WebEngine, as the page helper runs them.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports.h"
#include "pageproto/page_protocol.h"
#include "qtsupport/waiter.h"

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
/// profile (nothing reaches the disk). A load waits in a local event loop, so no CPU is
/// spent while the page loads. It ends when the navigation it asked for finishes, well or
/// not, or when the time limit runs out; the page's text is then read from its document
/// and kept. A read reads the document as the page's scripts have left it by then, and
/// falls back to the text kept at the end of the load when that document can no longer
/// be read.
///
/// The engine starts with warmUp(), or else with the first load, and ends with release():
/// from then on every load answers empty text at once.
class WebPages : public QObject, public PagePort {
    Q_OBJECT
public:
    explicit WebPages(QObject* parent = nullptr);
    ~WebPages() override;

    /// Sends `browser` to `address` and waits until that page is complete; without an
    /// address, reads the page the control holds. Throws RunAborted after abort().
    PageResult load(Control browser, std::optional<std::u16string_view> address);
    /// The text of the document `browser` shows now; Failed, with the text kept at the end
    /// of the last load, when that document cannot be read. Throws RunAborted after abort().
    PageResult read(Control browser);

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override {
        return load(browser, address).text;
    }
    std::u16string ReadPageText(Control browser) override { return read(browser).text; }

    /// Starts the engine ahead of the first load: the profile, the five pages with a
    /// blank document each, and the renderer process they share. Requests nothing from
    /// the network; warmedUp() follows once every blank page is done.
    void warmUp();
    /// Ends the pages and their profile, and with them every renderer process.
    void release();
    /// Ends a wait in progress; that load and every later one throw RunAborted.
    void abort();
    /// Per-page time limit (default 15 s); a read waits at most 5 s of it.
    void setTimeLimit(std::chrono::milliseconds limit);

signals:
    void warmedUp();

private:
    class Navigation;
    struct Slot {
        Control control = Control::Web_IP;
        std::unique_ptr<HiddenPage> page;
        int serial = 0;             // navigations requested so far; 0 = sent nowhere yet
        std::u16string text;        // body text read at the end of the last load
        bool readable = false;      // the last load left a document of its own
        bool documentGone = false;  // its renderer has ended since
        bool warming = false;       // the warm-up's blank page is loading
    };

    /// Creates the profile and the pages unless they exist; false once released.
    bool start();
    Slot* slotOf(Control browser);
    /// The warm-up's blank page of `slot` is done, well or not.
    void endWarmUp(Slot& slot);
    void onRendererEnded(Slot& slot);
    PageResult navigate(Slot& slot, const QUrl& url);
    /// The body text of the document the page holds now; nothing when that document is
    /// not one this slot's latest navigation produced or gives no answer in time. A
    /// renderer that does not answer is ended.
    std::optional<std::u16string> readText(Slot& slot);
    void throwIfAborted() const;

    bool m_released = false;
    bool m_warm = false;
    // Destroyed in reverse order: the pages before their profile, the profile before the
    // filter it uses.
    std::unique_ptr<WebRequestFilter> m_filter;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::array<Slot, kBrowserCount> m_slots;

    std::chrono::milliseconds m_timeLimit{15000};
    Waiter m_waiter;
    int m_rendererEnds = 0;  // renderer ends seen, counted by every page they hit
};

}  // namespace brevane
