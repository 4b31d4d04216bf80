// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's side of the protocol, the same whatever engine loads the pages:
// requests in, answers out, the handshake and each request's time budget.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pageproto/page_protocol.h"

namespace brevane::pageserve {

using pageproto::Outcome;
using pageproto::PageNumber;

/// How one load or read ended, and the text it gives.
struct PageResult {
    Outcome outcome = Outcome::Failed;
    std::u16string detail;  ///< the HTTP status or the reason, as far as known
    std::u16string text;
};

/// What each page helper adds to the service: a browser engine with pageproto::kPageCount
/// pages, each working on its own. The service gives a page at most one request at a time.
class PageEngine {
public:
    /// Called once with how the request ended; after Abandon() it may be called or not, and
    /// is ignored either way.
    using Done = std::function<void(PageResult)>;

    virtual ~PageEngine() = default;
    /// Sends `page` to `address` and reads its text, all within `limit` and the read's own
    /// bounds (pageproto::LoadTime).
    virtual void Load(PageNumber page, std::u16string_view address, std::chrono::milliseconds limit,
                      Done done) = 0;
    /// Reads the text of the document `page` shows now (pageproto::ReadTime).
    virtual void Read(PageNumber page, std::chrono::milliseconds limit, Done done) = 0;
    /// The request in progress for `page` is answered already: a new request came for the
    /// page, or it ran out of time. The engine stops whatever it still does for it.
    virtual void Abandon(PageNumber page) = 0;
};

/// Serves the window's requests with an engine: each starts as it comes, beside those still
/// in progress, and is answered when it is done, in whatever order they finish. The service
/// writes nothing itself: it queues frames that the platform writes out as the pipe takes
/// them, so that a long answer held up by a slow reader stops nothing else.
///
/// The handshake: Ready goes out once, when the engine is up or else right before the first
/// Page answer, so no Page ever comes before it. Refuse() sends Fatal instead, and nothing
/// follows it. The time budget: a request the engine has not answered within its bound
/// (pageproto::LoadTime, pageproto::ReadTime, counted from its arrival) is answered here as
/// timed out, and the engine is told to abandon it.
class PageService {
public:
    using Clock = std::chrono::steady_clock;

    explicit PageService(PageEngine& engine, std::function<Clock::time_point()> now = Clock::now);

    /// Bytes from the window. Requests start as their frames complete. A malformed frame
    /// stops the service: false, and nothing more is read.
    bool receive(std::string_view bytes);
    /// The engine is up: Ready, unless it went out already.
    void engineUp();
    /// The engine cannot run: Fatal with one plain sentence, then nothing more.
    void refuse(std::u16string reason);
    /// Answers every request whose bound has passed by now.
    void expire();
    /// When the next request's bound passes, if any is in progress.
    std::optional<Clock::time_point> nextDeadline() const;

    /// The queued bytes still to write, from the front: write as much as the output takes,
    /// then say how much with written().
    std::string_view outgoing() const;
    void written(std::size_t bytes);
    /// Called each time a frame is queued.
    void setOutputQueued(std::function<void()> queued) { m_outputQueued = std::move(queued); }

    /// No request will be served any more (malformed input or refused); answers in progress
    /// are dropped.
    bool stopped() const { return m_stopped; }

private:
    struct InProgress {
        std::uint32_t id = 0;
        std::uint32_t serial = 0;  // which of the page's requests this is
        Clock::time_point deadline;
    };

    void serve(const pageproto::Request& request);
    /// Answers the request in progress for `page`, if it is the one numbered `serial`.
    void answer(PageNumber page, std::uint32_t serial, PageResult result);
    void queue(const pageproto::Answer& answer);

    PageEngine& m_engine;
    std::function<Clock::time_point()> m_now;
    pageproto::FrameReader m_reader;
    std::array<std::optional<InProgress>, pageproto::kPageCount> m_pages;
    std::uint32_t m_serial = 0;
    std::deque<std::string> m_frames;
    std::size_t m_frontWritten = 0;
    std::function<void()> m_outputQueued;
    bool m_readySent = false;
    bool m_stopped = false;
};

}  // namespace brevane::pageserve
