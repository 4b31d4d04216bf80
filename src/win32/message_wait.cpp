// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The nested message loop.
#include "win32/message_wait.h"

#include <algorithm>

namespace brevane::win32 {
namespace {

/// Milliseconds from now to `deadline`, rounded up so that a wait never wakes early.
DWORD TimeoutUntil(std::optional<MessageWait::Clock::time_point> deadline) {
    if (!deadline) {
        return INFINITE;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - MessageWait::Clock::now()).count();
    return static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
}

/// Restores a flag when the scope ends, also by an exception out of a handler.
class Raised {
public:
    explicit Raised(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Raised() { m_flag = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& m_flag;
};

}  // namespace

WaitEnd MessageWait::until(const std::function<bool()>& done,
                           std::optional<Clock::time_point> deadline,
                           std::span<const HANDLE> handles) {
    if (m_waiting || handles.size() >= MAXIMUM_WAIT_OBJECTS) {
        return WaitEnd::Aborted;
    }
    const Raised waiting(m_waiting);
    while (true) {
        if (m_aborted) {
            return WaitEnd::Aborted;
        }
        if (done()) {
            return WaitEnd::Done;
        }
        if (deadline && Clock::now() >= *deadline) {
            return WaitEnd::Deadline;
        }
        // MWMO_INPUTAVAILABLE: messages already in the queue wake the wait too, not
        // only those that arrive from now on.
        const DWORD woke = MsgWaitForMultipleObjectsEx(
            static_cast<DWORD>(handles.size()), handles.empty() ? nullptr : handles.data(),
            TimeoutUntil(deadline), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            // A handle that cannot be waited on: the messages alone are watched, and
            // the condition and deadline looked at every 10 ms.
            MsgWaitForMultipleObjectsEx(0, nullptr, std::min<DWORD>(10, TimeoutUntil(deadline)),
                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                m_aborted = true;
                return WaitEnd::Quit;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (m_aborted || done()) {
                break;
            }
        }
    }
}

}  // namespace brevane::win32
