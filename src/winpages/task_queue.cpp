// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Work handed to one thread from any other: the thread runs it from its wait.
#include "winpages/task_queue.h"

#include <algorithm>
#include <utility>

namespace brevane::winpages {

namespace {

// Messages dispatched in one go before the tasks get their turn: a page that keeps its
// thread's queue full must not starve them.
constexpr int kMessagesPerTurn = 64;

DWORD MillisecondsUntil(std::optional<TaskQueue::Clock::time_point> deadline) {
    if (!deadline) {
        return INFINITE;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - TaskQueue::Clock::now()).count();
    return static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
}

}  // namespace

// The owning thread counts as busy until it first waits: making what it serves is work too.
TaskQueue::TaskQueue()
    : m_posted(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_busySince(Clock::now().time_since_epoch().count()) {}

TaskQueue::~TaskQueue() {
    CloseHandle(m_posted);
}

void TaskQueue::post(Task task) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_closed) {
            return;
        }
        m_tasks.push_back(std::move(task));
    }
    SetEvent(m_posted);
}

void TaskQueue::close() {
    std::deque<Task> dropped;
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    dropped.swap(m_tasks);
}

void TaskQueue::runUntil(std::optional<Clock::time_point> deadline, bool pump) {
    m_busySince = 0;
    const DWORD timeout = MillisecondsUntil(deadline);
    if (pump) {
        MsgWaitForMultipleObjectsEx(1, &m_posted, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } else {
        WaitForSingleObject(m_posted, timeout);
    }
    m_busySince = std::max<Clock::rep>(Clock::now().time_since_epoch().count(), 1);
    MSG message;
    for (int n = 0;
         pump && n < kMessagesPerTurn && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++n) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::deque<Task> tasks;
    {
        const std::lock_guard lock(m_mutex);
        tasks.swap(m_tasks);
    }
    for (Task& task : tasks) {
        task();
    }
}

std::optional<TaskQueue::Clock::time_point> TaskQueue::busySince() const {
    const Clock::rep since = m_busySince;
    if (since == 0) {
        return std::nullopt;
    }
    return Clock::time_point(Clock::duration(since));
}

}  // namespace brevane::winpages
