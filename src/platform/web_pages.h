// The five hidden browser pages on Qt WebEngine: the program's only way to the web.
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
#include "platform/engine_setup.h"

class QEventLoop;
class QUrl;
class QWebEngineLoadingInfo;
class QWebEngineProfile;

namespace brevane {

class HiddenPage;
class WebRequestFilter;

/// The five browser controls as hidden QWebEnginePages sharing one off-the-record
/// profile (nothing reaches the disk). A load waits in a local event loop on the
/// calling (user-interface) thread, so the window stays responsive and no CPU is spent
/// while the page loads. The wait ends when the navigation it asked for finishes, well
/// or not, or when the time limit runs out; the page's text is then read once from its
/// document and kept, so that ReadPageText answers at once without a request.
///
/// The engine starts with warmUp(), or else with the first load, and ends with
/// release(): from then on, and throughout when the engine is unusable, every load
/// answers empty text at once. Each load is logged in the brevane.pages category.
///
/// Must outlive every LoadPage call in progress: a window closing during a wait calls
/// abort() and deletes this object only after the run has unwound.
class WebPages : public QObject, public PagePort {
    Q_OBJECT
public:
    explicit WebPages(EngineState engine = EngineState::Usable, QObject* parent = nullptr);
    ~WebPages() override;

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override;
    std::u16string ReadPageText(Control browser) override;

    /// Starts the engine ahead of the first load: the profile, the five pages with a
    /// blank document each, and the renderer process they share. Requests nothing from
    /// the network.
    void warmUp();
    /// Ends the pages and their profile, and with them every renderer process. The
    /// texts already read stay readable.
    void release();
    /// Ends a wait in progress; that LoadPage and every later one throw RunAborted.
    void abort();
    /// Per-page time limit (default 15 s).
    void setTimeLimit(std::chrono::milliseconds limit);

private:
    static constexpr int kPageCount = 5;

    /// Something a local event loop waits for.
    struct Wait {
        bool done = false;
        QEventLoop* loop = nullptr;  // the loop waiting for it, while one does
        void finish();
    };

    struct Slot {
        Control control = Control::Web_IP;
        std::unique_ptr<HiddenPage> page;
        int serial = 0;        // navigations requested so far; 0 = sent nowhere yet
        std::u16string text;   // body text read at the end of the last load
        bool warming = false;  // the warm-up's blank page is loading
        Wait blank;            // and this ends when it has finished
    };

    enum class Outcome { Loaded, Failed, TimedOut, Aborted };
    /// How one load ended, for the log.
    struct Report {
        Outcome outcome = Outcome::Failed;
        QString detail;  // the HTTP status or the reason, as far as known
    };

    /// Creates the profile and the pages unless they exist; false when there are none
    /// to be had (engine unusable or released).
    bool start();
    Slot* slotOf(Control browser);
    const Slot* slotOf(Control browser) const;
    void onLoadingChanged(int index, const QWebEngineLoadingInfo& info);
    /// Runs a local event loop until `wait` is done, the deadline passes or the run is
    /// aborted. True when `wait` is done.
    bool waitUntil(Wait& wait, std::chrono::steady_clock::time_point deadline);
    /// Navigates and waits for that navigation to finish; stops it at the time limit.
    Report navigateAndWait(Slot& slot, const QUrl& url);
    /// The body text of the document the page holds now, or empty text when that
    /// document is not one this slot's latest navigation produced. A renderer that
    /// does not answer is ended.
    std::u16string readText(Slot& slot);
    void throwIfAborted() const;

    EngineState m_engine;
    bool m_released = false;
    // Destroyed in reverse order: the pages before their profile, the profile before the
    // filter it uses.
    std::unique_ptr<WebRequestFilter> m_filter;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::array<Slot, kPageCount> m_slots;

    std::chrono::milliseconds m_timeLimit{15000};
    bool m_aborted = false;
    QEventLoop* m_loop = nullptr;  // the wait in progress, if any

    // A stuck renderer's end, once it has been ended.
    Wait m_rendererEnd;

    // The navigation being waited for: which page, its start, its end and how it ended.
    int m_waitIndex = -1;
    Wait m_waitStart;
    Wait m_wait;
    Report m_waitEnd;
};

}  // namespace brevane
