// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// What the Windows channel's tests share: a page client on the channel, calls run by the
// thread's message loop, and waits that pump it.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "pageclient/page_client.h"
#include "winchannel/win32_helper_channel.h"

namespace brevane::testing {

struct NoLog : LogSink {
    void Line(LogCategory, std::string_view) override {}
};

/// A page client on the Windows channel, with the reasons it gives for an engine that
/// cannot run.
struct Client {
    explicit Client(std::wstring program, PageHelperOptions options = {})
        : channel(std::move(program)), pages(channel, log, std::move(options)) {
        pages.setEngineFailedHandler([this](const std::string& why) { failures.push_back(why); });
    }
    NoLog log;
    Win32HelperChannel channel;
    PageClient pages;
    std::vector<std::string> failures;
};

/// Runs `call` from the thread's message loop, as a window's handler runs: once `after`
/// has passed, or every `after` when `repeat`.
class LoopCall {
public:
    LoopCall(std::function<void()> call, std::chrono::milliseconds after, bool repeat = false)
        : m_call(std::move(call)), m_repeat(repeat) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BrevaneTestLoopCall";
        ::RegisterClassW(&windowClass);
        m_window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetTimer(m_window, 1, static_cast<UINT>(after.count()), nullptr);
    }
    ~LoopCall() { ::DestroyWindow(m_window); }
    LoopCall(const LoopCall&) = delete;
    LoopCall& operator=(const LoopCall&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<LoopCall*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_TIMER && self != nullptr) {
            if (!self->m_repeat) {
                ::KillTimer(window, 1);
            }
            self->m_call();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    std::function<void()> m_call;
    bool m_repeat;
    HWND m_window = nullptr;
};

/// Runs the thread's messages through the channel's wait until `done` holds, at most
/// `limit`; looks at `done` every 10 ms.
inline bool Pump(HelperChannel& channel, const std::function<bool()>& done,
                 std::chrono::milliseconds limit) {
    const LoopCall tick([] {}, std::chrono::milliseconds(10), true);
    channel.waitUntil(done, HelperChannel::Clock::now() + limit);
    return done();
}

/// `process` has ended, or there never was one.
inline bool Gone(HANDLE process) {
    return process == nullptr || ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

}  // namespace brevane::testing
