// The program's pieces and their wiring.
#include "platform/program.h"

#include <QTimer>

#include "platform/oil_price_window.h"
#include "run/run_sequence.h"

namespace brevane {

Program::Program(WebAddresses addresses, EngineState engine, QObject* parent)
    : QObject(parent),
      m_pages(engine),
      m_run{m_model, m_pages, m_confirm, m_shell, m_clock, m_log, std::move(addresses)},
      m_window(std::make_unique<OilPrice>(m_run)) {
    m_confirm.setParentWindow(m_window.get());
    connect(m_window.get(), &OilPrice::runEnded, this, &Program::onRunEnded);
    connect(m_window.get(), &OilPrice::closed, this, &Program::onWindowClosed);
}

Program::~Program() = default;

void Program::start() {
    Form_Load(m_run);
    m_window->show();
    // Once the window is up, the engine starts, so that the run finds it ready.
    QTimer::singleShot(0, &m_pages, &WebPages::warmUp);
}

void Program::onRunEnded() {
    emit runEnded();
    // There is one run per start: no page is read again, and the engine's renderer
    // processes need not stay while the window shows the prices.
    m_pages.release();
}

void Program::onWindowClosed() {
    // The run, if one waits for a page or an answer, unwinds with RunAborted; the
    // window has already stopped the start timer, so a run that has not begun never
    // begins.
    m_pages.abort();
    m_confirm.abort();
}

}  // namespace brevane
