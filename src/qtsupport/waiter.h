// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Synchronous waits on the event loop, for the calls that must answer before they return.
#pragma once

#include <chrono>
#include <functional>

class QEventLoop;

namespace brevane {

/// Runs local event loops until a condition holds, a deadline passes or the wait is
/// aborted. The thread sleeps in the event loop meanwhile, handling events as usual;
/// whatever a wait may be waiting for calls wake() when it happens.
class Waiter {
public:
    using Clock = std::chrono::steady_clock;

    /// True when `done` holds by the end.
    bool until(const std::function<bool()>& done, Clock::time_point deadline);
    void wake();
    /// Ends the wait in progress and every later one at once.
    void abort();
    bool aborted() const { return m_aborted; }
    bool waiting() const { return m_loop != nullptr; }

private:
    QEventLoop* m_loop = nullptr;
    bool m_aborted = false;
};

}  // namespace brevane
