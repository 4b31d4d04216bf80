// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The running program: the window model, the hidden pages, the window and the ports,
// wired into one run context.
#pragma once

#include <memory>

#include <QObject>

#include "core/run_context.h"
#include "core/web_addresses.h"
#include "core/window_model.h"
#include "pageclient/page_client.h"
#include "platform/qt_helper_channel.h"
#include "platform/qt_ports.h"

namespace brevane {

class OilPrice;

class Program : public QObject {
    Q_OBJECT

public:
    /// Prints on standard error, once, why the browser engine cannot run, if it cannot.
    explicit Program(WebAddresses addresses, const PageHelperLaunch& helper,
                     QObject* parent = nullptr);
    ~Program() override;

    /// Loads the window (its first texts and the start timer), shows it and starts the
    /// page helper, whose browser engine warms up while the timer counts down.
    void start();

    WindowModel& model() { return m_model; }
    OilPrice& window() { return *m_window; }
    PageClient& pages() { return m_pages; }

signals:
    /// The browser engine cannot run: one plain sentence saying why.
    void engineFailed(const QString& reason);
    /// The run is over: finished, declined or aborted by closing the window. The page
    /// helper is ended right after.
    void runEnded();

private:
    void onRunEnded();
    void onWindowClosed();

    WindowModel m_model;
    QtLogSink m_logSink;
    RunLogLines m_log{m_logSink};
    QtHelperChannel m_channel;
    PageClient m_pages;
    QtConfirm m_confirm;
    QtShell m_shell;
    QtClock m_clock;
    RunContext m_run;
    // Declared last so that it goes first: it detaches from the model as it goes.
    std::unique_ptr<OilPrice> m_window;
};

}  // namespace brevane
