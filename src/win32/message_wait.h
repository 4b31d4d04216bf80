// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A wait that keeps the window alive: a nested message loop that runs until a condition
// holds, a deadline passes, a handle is signalled or the wait is aborted.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <span>

namespace brevane::win32 {

enum class WaitEnd {
    Done,      ///< the condition holds
    Deadline,  ///< the deadline passed first
    Aborted,   ///< abort() was called, before or during the wait
    Quit,      ///< the thread's message loop was asked to end (WM_QUIT)
};

/// One thread's waits. While a wait runs, the thread's messages are dispatched, so the
/// window repaints, moves and answers clicks, and the condition is looked at again after
/// every message and whenever one of the given handles (such as an event a reader thread
/// sets) is signalled. A WM_QUIT the wait takes is posted again as it was, for the outer
/// loop to end on, and ends the wait as Quit; it aborts this object's later waits.
///
/// A handler that runs during a wait may start no wait of its own: such a wait ends at
/// once as Aborted, as it would otherwise hold the outer one up.
class MessageWait {
public:
    using Clock = std::chrono::steady_clock;

    /// Waits until `done` holds or one of the other ends comes. Without a deadline the
    /// wait may last for ever. At most MAXIMUM_WAIT_OBJECTS - 1 handles.
    WaitEnd until(const std::function<bool()>& done, std::optional<Clock::time_point> deadline,
                  std::span<const HANDLE> handles = {});

    /// Ends a wait in progress, and makes every later one end at once.
    void abort() { m_aborted = true; }
    bool aborted() const { return m_aborted; }
    bool waiting() const { return m_waiting; }

private:
    bool m_aborted = false;
    bool m_waiting = false;
};

}  // namespace brevane::win32
