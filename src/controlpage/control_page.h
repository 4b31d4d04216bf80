// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One page on a browser control: its loads and reads, and what each answers.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pageserve/page_service.h"

namespace brevane::controlpage {

using pageserve::PageResult;

/// What a browser control tells of its top-level navigation. Called on the page's own
/// thread, from inside that thread's message loop or from inside a call of the control.
class BrowserEvents {
public:
    /// The navigation has reached its document: the page shows the new one from now on.
    virtual void navigated() = 0;
    /// The document is complete, and so is the control (its ready state is "complete").
    virtual void documentComplete() = 0;
    /// The navigation failed: an error answer or an address that cannot be reached.
    virtual void navigationFailed(std::u16string detail) = 0;

protected:
    ~BrowserEvents() = default;
};

/// One page's browser control, used only on the thread that made it. Its calls return at
/// once; what follows them comes as BrowserEvents.
class PageBrowser {
public:
    virtual ~PageBrowser() = default;
    /// Starts a navigation to `address`; the reason when it cannot even start.
    virtual std::optional<std::u16string> navigate(std::u16string_view address) = 0;
    /// Stops the navigation under way, if any.
    virtual void stop() = 0;
    /// The body text of the document shown now; nothing when it has no body.
    virtual std::optional<std::u16string> bodyText() = 0;
};

/// A browser made for a page, or the one plain sentence that says why there is none.
struct MadeBrowser {
    std::unique_ptr<PageBrowser> browser;
    std::u16string failure;
};
/// Makes a page's browser on the calling thread, reporting to `events`.
using BrowserMaker = std::function<MadeBrowser(BrowserEvents& events)>;

/// The longest page text handed on, in UTF-16 code units: with room to spare in a frame.
inline constexpr std::size_t kMaxTextUnits = 16u * 1024 * 1024;

/// A page's loads and reads on its browser, one at a time, all on one thread. A load ends
/// when its document is complete (Loaded, with its text), when it fails (Failed, and the
/// page holds no document of its own), or at its time limit (TimedOut, with the text of the
/// new document as far as it has come). Only events that follow the load's own navigation
/// count: a document still completing from before is not the one asked for. A read reads
/// the live document as it is then, as its scripts have left it.
class ControlPage final : private BrowserEvents {
public:
    using Clock = std::chrono::steady_clock;
    using Done = pageserve::PageEngine::Done;

    explicit ControlPage(const BrowserMaker& make,
                         std::function<Clock::time_point()> now = Clock::now);
    ~ControlPage();
    ControlPage(const ControlPage&) = delete;
    ControlPage& operator=(const ControlPage&) = delete;

    /// Why the page has no browser; empty when it has one.
    const std::u16string& failure() const { return m_failure; }

    /// Ends the request in progress without an answer, and starts loading `address`.
    void load(std::u16string_view address, std::chrono::milliseconds limit, Done done);
    /// Ends the request in progress without an answer, and answers with the page's text.
    void read(Done done);
    /// Ends the request in progress without an answer.
    void abandon();
    /// When the load in progress runs out of time, if one is in progress.
    std::optional<Clock::time_point> deadline() const;
    /// Ends the load in progress if its time is up.
    void expire();

private:
    enum class Phase { Idle, Navigating, Ending };

    void navigated() override;
    void documentComplete() override;
    void navigationFailed(std::u16string detail) override;

    /// The document's text, or why there is none.
    PageResult text(pageserve::Outcome outcome, std::u16string detail);
    void finish(PageResult result);

    std::function<Clock::time_point()> m_now;
    std::unique_ptr<PageBrowser> m_browser;
    std::u16string m_failure;
    Phase m_phase = Phase::Idle;
    Done m_done;
    Clock::time_point m_deadline;
    bool m_navigated = false;  // the load in progress has reached its document
    bool m_loadedOnce = false;
    bool m_readable = false;  // the last load left a document of its own
};

}  // namespace brevane::controlpage
