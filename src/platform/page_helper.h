// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden pages as the window reaches them: through the page helper, a process of its
// own that runs the browser engine.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/ports.h"
#include "pageproto/page_protocol.h"
#include "qtsupport/waiter.h"

class QProcess;

namespace brevane {

/// How to start the page helper.
struct PageHelperLaunch {
    QString program;
    /// No host name resolves and no proxy is used: only 127.0.0.1 can be reached.
    bool loopbackOnly = false;
    /// The engine runs without its sandbox when the helper runs as root. Only for a
    /// program that loads nothing but its own pages from loopback.
    bool unsandboxedAsRoot = false;
    /// Passed on as they are, after the others.
    QStringList extraArguments;
};

/// The page helper beside this program, as in a build tree, or else where the package
/// installs it (../libexec/brevane/ from the program's folder).
QString FindPageHelper();

/// The five browser controls, served by a page helper that this object starts, feeds and
/// ends. It owns what the pages mean to the run: the text kept per control, the fall-back
/// to it, the guard against a load from inside another's wait, and abort; the helper only
/// loads and reads. Several loads may be in flight at once: Expect() sends a load ahead,
/// and the LoadPage() of the same address later waits only for what remains of it. The
/// window keeps each answer until its load is asked for.
///
/// A call waits in a local event loop, so the window stays responsive and spends no CPU
/// meanwhile, and never longer than the helper's own bounds for that request plus a
/// margin, counted from the request's start: a helper that does not answer by then is
/// ended, and the call answers empty text. A helper that ends costs only the load waited
/// for then; the others it had in flight are sent again, to a fresh helper, when their
/// turn comes. A helper that ends or fails before its engine is up, or names another
/// version of the protocol, means the engine cannot run here: engineFailed() says why,
/// once, and every load of the run answers empty text at once. Whatever the helper sends,
/// a malformed, oversized or unexpected answer ends it.
///
/// A read asks the helper for the document as it is now and falls back to the text of the
/// control's last load when the helper cannot give it. Each load is logged in the
/// brevane.pages category, and what the helper writes on its standard error in
/// brevane.helper.
class HelperPages : public QObject, public PagePort {
    Q_OBJECT
public:
    explicit HelperPages(PageHelperLaunch launch, QObject* parent = nullptr);
    ~HelperPages() override;

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
    /// The helper's process id while one runs, else 0.
    qint64 helperProcessId() const;

signals:
    /// The browser engine cannot run: one plain sentence saying why.
    void engineFailed(const QString& reason);

private:
    /// What the window keeps of one browser control.
    struct Page {
        int helper = 0;  // the helper whose page shows the last load; 0 = none
        std::u16string text;
        std::optional<std::uint32_t> ahead;  // the load sent for it ahead, not yet taken
    };
    /// A request sent and not yet handed to its caller.
    struct Sent {
        Control control = Control::Web_IP;
        std::u16string address;  // of a load; empty for a read
        int helper = 0;
        Waiter::Clock::time_point begun;
        Waiter::Clock::time_point deadline;
        std::optional<pageproto::PageAnswer> answer;
        QString failure;     // why no answer will come
        bool wanted = true;  // someone will take its answer
    };
    enum class Retire { Kill, CloseInput, Ended };

    /// Starts a helper unless one runs; false when none could be started.
    bool ensureHelper();
    /// Sends a request; nothing when no helper can take it.
    std::optional<std::uint32_t> send(const pageproto::Request& request,
                                      std::chrono::milliseconds helperTime);
    std::optional<std::uint32_t> sendLoad(Control browser, std::u16string_view address);
    /// Waits for the answer to `id` and hands it out.
    pageproto::PageAnswer await(std::uint32_t id);
    /// The load sent ahead for `page` when it went to `address` and can still answer.
    std::optional<std::uint32_t> takeAhead(Page& page, std::u16string_view address);
    void unwant(std::uint32_t id);
    void onOutput();
    void onErrorOutput();
    void onAnswer(pageproto::Answer answer);
    /// The one way a helper ends: the requests it still owed fail with `cause`, and a
    /// helper whose engine was not up yet means the engine cannot start.
    void endHelper(const QString& cause, Retire how);
    void engineUnusable(const QString& reason);
    Page& pageOf(Control browser);
    void throwIfAborted() const;

    PageHelperLaunch m_launch;
    QProcess* m_helper = nullptr;  // a child of this object, as every helper it made
    int m_helperNumber = 0;        // of the helper running now, counting from 1
    bool m_ready = false;          // its engine is up
    pageproto::FrameReader m_reader;
    QByteArray m_errorTail;   // the end of what it wrote on standard error
    QString m_lastErrorLine;  // its last complete line there
    std::map<std::uint32_t, Sent> m_sent;
    std::uint32_t m_nextId = 1;

    bool m_unusable = false;
    bool m_released = false;
    std::array<Page, kBrowserCount> m_pages;
    std::chrono::milliseconds m_timeLimit{15000};
    Waiter m_waiter;
};

}  // namespace brevane
