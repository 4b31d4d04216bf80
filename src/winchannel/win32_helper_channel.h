// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper as the Windows program runs it: a process in a job of its own on three
// pipes, and waits that pump the window's messages.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "pageclient/helper_channel.h"
#include "winchannel/unique_handle.h"

namespace brevane {

namespace winchannel {
class HelperProcess;
}

/// The channel of the page client on Windows.
///
/// Each helper is a winchannel::HelperProcess: started suspended in a job that kills it and
/// all it started when the job's handle closes, fed by a writer thread and read by a thread
/// per output pipe, so that no call here blocks on a pipe. Those threads queue what they
/// read and post one message to a message-only window of this channel; its window
/// procedure hands the queue to the listener. Any message loop of the thread delivers it
/// then, the window's own as well as a wait's, and the listener is only ever called on
/// the thread that made the channel, which must be the window's. A helper that is ended
/// is moved aside: its queue is dropped unread, so nothing it wrote after its end()
/// reaches the listener, and it is kept until it has ended. A helper ended by closing its
/// input is killed by a timer of the window if it lingers for 2 s; destroying the channel
/// kills every helper it still has.
///
/// A wait runs a message loop of its own (MsgWaitForMultipleObjectsEx), so the window
/// repaints, moves and answers clicks meanwhile and the thread sleeps between messages.
/// A WM_QUIT it takes ends the wait and is posted again for the window's loop.
class Win32HelperChannel final : public HelperChannel {
public:
    /// A channel whose helpers run `program` (a full path). Throws std::system_error when
    /// the thread cannot have the window or event that the channel needs.
    explicit Win32HelperChannel(std::wstring program);
    ~Win32HelperChannel() override;
    Win32HelperChannel(const Win32HelperChannel&) = delete;
    Win32HelperChannel& operator=(const Win32HelperChannel&) = delete;

    void setListener(Listener* listener) override { m_listener = listener; }
    void start(const std::vector<std::string>& arguments) override;
    void write(std::string_view bytes) override;
    void end(Ending how) override;
    std::int64_t processId() const override;
    void waitUntil(const std::function<bool()>& done, Clock::time_point deadline) override;
    void wake() override;

private:
    using Helper = std::unique_ptr<winchannel::HelperProcess>;
    struct Retired {
        Helper helper;
        UINT_PTR timer = 0;  // the grace timer of a helper whose input was closed, or 0
    };
    struct WindowDeleter {
        void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    /// Hands the current helper's events to the listener, and drops those of the others.
    void deliver();
    /// Drops what the helpers moved aside have written, and lets go of those that ended.
    void reap();
    void onGraceOver(UINT_PTR timer);
    /// Moves the current helper aside, with a grace timer if `grace`.
    void retire(bool grace);

    const std::wstring m_program;
    Listener* m_listener = nullptr;
    winchannel::UniqueHandle m_wake;  // set by wake(); a wait watches it
    // Declared before the helpers, so that it outlives their threads, which post to it.
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter> m_window;
    Helper m_current;
    std::vector<Retired> m_retired;
    UINT_PTR m_lastTimer = 0;
};

}  // namespace brevane
