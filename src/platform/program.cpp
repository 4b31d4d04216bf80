// The program's pieces and their wiring.
#include "platform/program.h"

#include "platform/oil_price_window.h"
#include "run/run_sequence.h"

namespace brevane {

Program::Program(WebAddresses addresses, QObject* parent)
    : QObject(parent),
      m_run{m_model, m_pages, m_confirm, m_shell, m_clock, m_log, std::move(addresses)},
      m_window(std::make_unique<OilPrice>(m_run)) {
    m_confirm.setParentWindow(m_window.get());
    connect(m_window.get(), &OilPrice::runEnded, this, &Program::runEnded);
    connect(m_window.get(), &OilPrice::closed, this, &Program::onWindowClosed);
}

Program::~Program() = default;

void Program::start() {
    Form_Load(m_run);
    m_window->show();
}

void Program::onWindowClosed() {
    // The run, if one waits for a page or an answer, unwinds with RunAborted; the
    // window has already stopped the start timer, so a run that has not begun never
    // begins.
    m_pages.abort();
    m_confirm.abort();
}

}  // namespace brevane
