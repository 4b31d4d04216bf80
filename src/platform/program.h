// The running program: the window model, the hidden pages, the window and the ports,
// wired into one run context.
#pragma once

#include <memory>

#include <QObject>

#include "core/run_context.h"
#include "core/web_addresses.h"
#include "core/window_model.h"
#include "platform/qt_ports.h"
#include "platform/web_pages.h"

namespace brevane {

class OilPrice;

class Program : public QObject {
    Q_OBJECT

public:
    explicit Program(WebAddresses addresses, EngineState engine = EngineState::Usable,
                     QObject* parent = nullptr);
    ~Program() override;

    /// Loads the window (its first texts and the start timer), shows it and starts the
    /// browser engine while the timer counts down.
    void start();

    WindowModel& model() { return m_model; }
    OilPrice& window() { return *m_window; }
    WebPages& pages() { return m_pages; }

signals:
    /// The run is over: finished, declined or aborted by closing the window. The
    /// hidden pages are released right after.
    void runEnded();

private:
    void onRunEnded();
    void onWindowClosed();

    WindowModel m_model;
    WebPages m_pages;
    QtConfirm m_confirm;
    QtShell m_shell;
    QtClock m_clock;
    QtRunLog m_log;
    RunContext m_run;
    // Declared last so that it goes first: it detaches from the model as it goes.
    std::unique_ptr<OilPrice> m_window;
};

}  // namespace brevane
