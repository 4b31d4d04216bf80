// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden pages as the window reaches them: through a page helper, a process of its own
// that runs the browser engine, on whatever platform the window runs.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/diagnostics.h"
#include "core/ports.h"
#include "pageclient/helper_channel.h"
#include "pageproto/page_protocol.h"

namespace brevane {

/// How the page helper is to shape its engine.
struct PageHelperOptions {
    /// No host name resolves and no proxy is used: only 127.0.0.1 can be reached.
    bool loopbackOnly = false;
    /// The engine runs without its sandbox when the helper runs as root. Only for a
    /// program that loads nothing but its own pages from loopback.
    bool unsandboxedAsRoot = false;
    /// Passed on as they are, after the others.
    std::vector<std::string> extraArguments;
};

/// The five browser controls, served by page helpers that this object starts, feeds and
/// ends through its channel. It owns what the pages mean to the run: the text kept per
/// control, the fall-back to it, the guard against a load from inside another's wait, and
/// abort; a helper only loads and reads. Several loads may be in flight at once: Expect()
/// sends a load ahead, and the LoadPage() of the same address later waits only for what
/// remains of it. The client keeps each answer until its load is asked for.
///
/// A call waits through the channel, so the window stays responsive and spends no CPU
/// meanwhile, and never longer than the helper's own bounds for that request plus a
/// margin, counted from the request's start: a helper that does not answer by then is
/// ended, and the call answers empty text. A helper that ends costs only the load waited
/// for then; the others it had in flight are sent again, to a fresh helper, when their
/// turn comes. A helper that ends or fails before its engine is up (its Ready), breaks the
/// handshake or names another version of the protocol means that the engine cannot run
/// here: the engine-failed handler hears why, once, and every load of the run answers
/// empty text at once. Whatever the helper sends, a malformed, oversized or unexpected
/// answer ends it.
///
/// A read asks the helper for the document as it is now and falls back to the text of the
/// control's last load when the helper cannot give it. Each load is a line of the pages
/// category, and what the helper writes on its standard error, and why it ended, lines of
/// the helper category.
class PageClient final : public PagePort, private HelperChannel::Listener {
public:
    PageClient(HelperChannel& channel, LogSink& log, PageHelperOptions options = {});
    ~PageClient() override;
    PageClient(const PageClient&) = delete;
    PageClient& operator=(const PageClient&) = delete;

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override;
    std::u16string ReadPageText(Control browser) override;
    void Expect(Control browser, std::u16string_view address) override;

    /// Starts the helper ahead of the first load, so that its engine warms up meanwhile.
    void start();
    /// Ends the helper after the run; every later load answers empty text at once. The
    /// texts already read stay readable.
    void release();
    /// Ends a wait in progress and the helper; that call and every later one throw
    /// RunAborted.
    void abort();
    /// Per-page time limit (default 15 s), which the helper keeps to.
    void setTimeLimit(std::chrono::milliseconds limit);
    /// Hears, once, why the browser engine cannot run: one plain sentence.
    void setEngineFailedHandler(std::function<void(const std::string&)> handler) {
        m_engineFailed = std::move(handler);
    }
    /// The helper's process id while one runs, else 0.
    std::int64_t helperProcessId() const;

private:
    using Clock = HelperChannel::Clock;

    /// What the client keeps of one page.
    struct Page {
        int helper = 0;  // the helper whose page shows the last load; 0 = none
        std::u16string text;
        std::optional<std::uint32_t> ahead;  // the load sent for it ahead, not yet taken
    };
    /// A request sent and not yet handed to its caller.
    struct Sent {
        pageproto::PageNumber page = 0;
        std::u16string address;  // of a load; empty for a read
        int helper = 0;
        Clock::time_point begun;
        Clock::time_point deadline;
        std::optional<pageproto::PageAnswer> answer;
        std::string failure;  // why no answer will come
        bool wanted = true;   // someone will take its answer
    };
    enum class Retire { Kill, CloseInput, Ended };

    void helperOutput(std::string_view bytes) override;
    void helperErrorOutput(std::string_view bytes) override;
    void helperEnded(std::string cause) override;

    /// Starts a helper unless one runs; false when none could be started.
    bool ensureHelper();
    /// Sends a request; nothing when no helper can take it.
    std::optional<std::uint32_t> send(const pageproto::Request& request,
                                      std::chrono::milliseconds helperTime);
    std::optional<std::uint32_t> sendLoad(pageproto::PageNumber page, std::u16string_view address);
    /// Waits for the answer to `id` and hands it out.
    pageproto::PageAnswer await(std::uint32_t id);
    /// The load sent ahead for `page` when it went to `address` and can still answer.
    std::optional<std::uint32_t> takeAhead(Page& page, std::u16string_view address);
    void unwant(std::uint32_t id);
    void onAnswer(pageproto::Answer answer);
    /// The one way a helper ends: the requests it still owed fail with `cause`, and a
    /// helper whose engine was not up yet means the engine cannot start.
    void endHelper(const std::string& cause, Retire how);
    void engineUnusable(const std::string& reason);
    void throwIfAborted() const;

    HelperChannel& m_channel;
    LogSink& m_log;
    PageHelperOptions m_options;
    std::function<void(const std::string&)> m_engineFailed;

    bool m_running = false;  // a helper was started and has not ended
    int m_helperNumber = 0;  // of the helper started last, counting from 1
    pageproto::Handshake m_handshake;
    pageproto::FrameReader m_reader;
    std::string m_errorTail;      // the end of what it wrote on standard error
    std::string m_lastErrorLine;  // its last complete line there
    std::map<std::uint32_t, Sent> m_sent;
    std::uint32_t m_nextId = 1;

    bool m_unusable = false;
    bool m_released = false;
    bool m_aborted = false;
    bool m_waiting = false;
    std::array<Page, pageproto::kPageCount> m_pages;
    std::chrono::milliseconds m_timeLimit{15000};
};

}  // namespace brevane
