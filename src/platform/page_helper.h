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
#include <memory>
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

/// The five browser controls, served by a page helper that this object starts, feeds one
/// request at a time and ends. A call waits in a local event loop, so the window stays
/// responsive and spends no CPU meanwhile, and never longer than the page's time limit
/// plus a margin: a helper that does not answer by then is ended, and the call answers
/// empty text. The next load starts a fresh helper. A helper that ends or fails before its
/// engine is up means the engine cannot run here: engineFailed() says why, once, and every
/// load of the run answers empty text at once. Whatever the helper sends, a malformed,
/// oversized or unexpected answer is a failed load.
///
/// The window keeps the text of each control's last load; a read asks the helper for the
/// document as it is now and falls back to that text when the helper cannot give it.
/// Each load is logged in the brevane.pages category, and what the helper writes on its
/// standard error in brevane.engine.
class HelperPages : public QObject, public PagePort {
    Q_OBJECT
public:
    explicit HelperPages(PageHelperLaunch launch, QObject* parent = nullptr);
    ~HelperPages() override;

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override;
    std::u16string ReadPageText(Control browser) override;

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
    struct Kept {
        bool sent = false;  // sent to an address in this run
        int helper = 0;     // the helper whose page shows that load; 0 = none
        std::u16string text;
    };
    struct Exchange {
        std::uint32_t id = 0;
        Control control = Control::Web_IP;
        std::optional<pageproto::PageAnswer> answer;
        QString failure;  // why no answer will come
    };

    /// Starts a helper unless one runs; false when none could be started.
    bool ensureHelper();
    /// Sends one request and waits for its answer, at most `limit` plus the margin.
    pageproto::PageAnswer exchange(const pageproto::Request& request,
                                   std::chrono::milliseconds limit);
    void onOutput();
    void onErrorOutput();
    void onHelperEnded(const QString& cause);
    /// Ends the helper that broke the protocol or stopped answering.
    void dropHelper(const QString& why);
    /// Leaves a helper that is no longer the current one to end by itself.
    QProcess* letGo(QProcess* helper);
    void failExchange(const QString& why);
    void engineUnusable(const QString& reason);
    Kept& kept(Control browser);
    void throwIfAborted() const;

    PageHelperLaunch m_launch;
    std::unique_ptr<QProcess> m_helper;
    int m_helperNumber = 0;  // of the helper running now, counting from 1
    bool m_ready = false;    // its engine is up
    pageproto::FrameReader m_reader;
    QByteArray m_errorTail;   // the end of what it wrote on standard error
    QString m_lastErrorLine;  // its last complete line there
    std::optional<Exchange> m_exchange;
    std::uint32_t m_nextId = 1;

    bool m_unusable = false;
    bool m_released = false;
    std::array<Kept, kControlCount> m_kept;
    std::chrono::milliseconds m_timeLimit{15000};
    Waiter m_waiter;
};

}  // namespace brevane
