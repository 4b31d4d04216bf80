// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper as the Qt program runs it: a QProcess on two pipes, and waits in local
// event loops.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "pageclient/helper_channel.h"
#include "pageclient/page_client.h"

class QEventLoop;
class QProcess;

namespace brevane {

/// How the Qt program starts its page helper.
struct PageHelperLaunch {
    QString program;
    /// No host name resolves and no proxy is used: only 127.0.0.1 can be reached.
    bool loopbackOnly = false;
    /// The engine runs without its sandbox when the helper runs as root. Only for a
    /// program that loads nothing but its own pages from loopback.
    bool unsandboxedAsRoot = false;
    /// Passed on as they are, after the others.
    QStringList extraArguments;

    /// What the page client passes on to the helper.
    PageHelperOptions options() const;
};

/// The page helper beside this program, as in a build tree, or else where the package
/// installs it (../libexec/brevane/ from the program's folder).
QString FindPageHelper();

/// The channel of the page client on Qt: each helper a QProcess, a child of this object, whose
/// standard error is read apart. A wait runs a local event loop, so the window stays
/// responsive and the thread sleeps. A helper ended by closing its input has a moment to
/// end its engine before it is killed; every helper still ending is killed and reaped with
/// this object.
class QtHelperChannel final : public QObject, public HelperChannel {
    Q_OBJECT
public:
    explicit QtHelperChannel(QString program, QObject* parent = nullptr);
    ~QtHelperChannel() override;

    void setListener(Listener* listener) override { m_listener = listener; }
    void start(const std::vector<std::string>& arguments) override;
    void write(std::string_view bytes) override;
    void end(Ending how) override;
    std::int64_t processId() const override;
    void waitUntil(const std::function<bool()>& done, Clock::time_point deadline) override;
    void wake() override;

private:
    /// Stops hearing of the current helper; it goes once it has ended.
    QProcess* detach();
    void onOutput();
    void onErrorOutput();
    void onEnded(const std::string& cause);

    QString m_program;
    Listener* m_listener = nullptr;
    QProcess* m_helper = nullptr;
    QEventLoop* m_loop = nullptr;  // the wait in progress, if any
};

}  // namespace brevane
