// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Work handed to one thread from any other: the thread runs it from its wait.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace brevane::winpages {

/// The inbox of one thread. Any thread posts; the owning thread waits in runUntil(), where
/// the window messages of its thread are dispatched too when it hosts COM objects, and runs
/// what was posted. The thread is idle only inside that wait, so a thread that stays away
/// from it for long is stuck in a message or a task (busySince()).
class TaskQueue {
public:
    using Clock = std::chrono::steady_clock;
    using Task = std::function<void()>;

    TaskQueue();
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    /// Any thread. A task posted after close() is dropped unrun.
    void post(Task task);
    /// Any thread: the tasks waiting and all posted from now on are dropped unrun.
    void close();
    /// The owning thread: waits until something is posted or `deadline` passes, dispatching
    /// the thread's window messages meanwhile when `pump`, then runs what was posted.
    void runUntil(std::optional<Clock::time_point> deadline, bool pump);
    /// When the owning thread last left its wait; nothing while it waits.
    std::optional<Clock::time_point> busySince() const;

private:
    HANDLE m_posted;
    std::mutex m_mutex;
    std::deque<Task> m_tasks;
    bool m_closed = false;
    std::atomic<Clock::rep> m_busySince;  // 0 while waiting
};

}  // namespace brevane::winpages
