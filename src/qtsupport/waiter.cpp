// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Synchronous waits on the event loop.
#include "qtsupport/waiter.h"

#include <QEventLoop>
#include <QTimer>

#include <utility>

namespace brevane {

bool Waiter::until(const std::function<bool()>& done, Clock::time_point deadline) {
    while (!done() && !m_aborted) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(left);
        QEventLoop* const outer = std::exchange(m_loop, &loop);
        loop.exec();
        m_loop = outer;
    }
    return done();
}

void Waiter::wake() {
    if (m_loop != nullptr) {
        m_loop->quit();
    }
}

void Waiter::abort() {
    m_aborted = true;
    wake();
}

}  // namespace brevane
