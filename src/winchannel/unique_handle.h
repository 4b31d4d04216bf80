// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Owners of Windows kernel handles, so that every handle the channel opens is closed once.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace brevane::winchannel {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};

/// Owns a kernel handle (a process, a thread, a pipe end, a job, an event). A handle that
/// failed to open is null here, whichever of NULL and INVALID_HANDLE_VALUE the call that
/// opened it uses for failure.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle)
        : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}

    HANDLE get() const { return m_handle.get(); }
    explicit operator bool() const { return m_handle != nullptr; }
    void reset() { m_handle.reset(); }

private:
    std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser> m_handle;
};

}  // namespace brevane::winchannel
