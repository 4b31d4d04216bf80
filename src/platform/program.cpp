// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's pieces and their wiring.
#include "platform/program.h"

#include <QTimer>

#include <cstdio>

#include "platform/oil_price_window.h"
#include "run/run_sequence.h"

namespace brevane {

Program::Program(WebAddresses addresses, const PageHelperLaunch& helper, QObject* parent)
    : QObject(parent),
      m_channel(helper.program),
      m_pages(m_channel, m_logSink, helper.options()),
      m_run{m_model, m_pages, m_confirm, m_shell, m_clock, m_log, std::move(addresses)},
      m_window(std::make_unique<OilPrice>(m_run)) {
    m_confirm.setParentWindow(m_window.get());
    connect(m_window.get(), &OilPrice::runEnded, this, &Program::onRunEnded);
    connect(m_window.get(), &OilPrice::closed, this, &Program::onWindowClosed);
    m_pages.setEngineFailedHandler([this](const std::string& reason) {
        // The run still goes its way, without pages: it ends in one of its error states.
        std::fprintf(stderr, "brevane: %s\n", reason.c_str());
        emit engineFailed(QString::fromStdString(reason));
    });
}

Program::~Program() = default;

void Program::start() {
    Form_Load(m_run);
    m_window->show();
    // Once the window is up, the helper starts, so that the run finds its engine ready.
    QTimer::singleShot(0, this, [this] { m_pages.start(); });
}

void Program::onRunEnded() {
    emit runEnded();
    // There is one run per start: no page is read again, and neither the helper nor its
    // engine need stay while the window shows the prices.
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
