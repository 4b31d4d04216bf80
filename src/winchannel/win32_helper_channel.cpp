// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper as the Windows program runs it.
#include "winchannel/win32_helper_channel.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

#include "winchannel/helper_process.h"
#include "winchannel/process_text.h"

namespace brevane {

namespace {

using namespace std::chrono_literals;
using winchannel::HelperEvent;

constexpr wchar_t kWindowClass[] = L"BrevaneHelperChannel";
// Posted by a helper's threads: events wait.
constexpr UINT kEventsWaiting = WM_APP + 1;
// After the run, the time the helper has to end its engine before it is killed.
constexpr UINT kExitGraceMs = 2000;

/// The window class of the channels' message-only windows, registered once per process.
void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "helper channel window class");
    }
}

/// Milliseconds until `deadline`, rounded up, so that a wait does not wake just before it.
DWORD MillisecondsUntil(HelperChannel::Clock::time_point deadline,
                        HelperChannel::Clock::time_point now) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    return static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
}

}  // namespace

Win32HelperChannel::Win32HelperChannel(std::wstring program)
    : m_program(std::move(program)), m_wake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!m_wake) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "helper channel event");
    }
    RegisterWindowClass(&WindowProc);
    m_window.reset(::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleW(nullptr), this));
    if (!m_window) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "helper channel window");
    }
}

Win32HelperChannel::~Win32HelperChannel() {
    m_listener = nullptr;
    // Each helper is killed and its threads joined, before the window they post to goes.
    m_current.reset();
    m_retired.clear();
}

LRESULT CALLBACK Win32HelperChannel::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* channel =
        reinterpret_cast<Win32HelperChannel*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (channel != nullptr) {
        switch (message) {
            case kEventsWaiting:
                channel->deliver();
                return 0;
            case WM_TIMER:
                channel->onGraceOver(wParam);
                return 0;
            case WM_NCDESTROY:
                ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                break;
            default:
                break;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Win32HelperChannel::start(const std::vector<std::string>& arguments) {
    if (m_current) {
        m_current->kill();
        retire(false);
    }
    const HWND window = m_window.get();
    DWORD error = 0;
    m_current = winchannel::HelperProcess::Start(
        m_program, winchannel::CommandLine(m_program, arguments),
        [window] { ::PostMessageW(window, kEventsWaiting, 0, 0); }, error);
    if (!m_current && m_listener != nullptr) {
        m_listener->helperEnded(winchannel::StartFailure(m_program, error));
    }
}

void Win32HelperChannel::write(std::string_view bytes) {
    if (m_current) {
        m_current->write(bytes);
    }
}

void Win32HelperChannel::end(Ending how) {
    if (!m_current) {
        return;
    }
    if (how == Ending::Kill) {
        m_current->kill();
    } else {
        // The helper ends its engine when its input ends, and is killed if it takes too long.
        m_current->closeInput();
    }
    retire(how == Ending::CloseInput);
}

void Win32HelperChannel::retire(bool grace) {
    Retired retired{.helper = std::move(m_current)};
    if (grace) {
        // Timer ids are the channel's own, counted from 1: no two helpers share one.
        retired.timer = ::SetTimer(m_window.get(), ++m_lastTimer, kExitGraceMs, nullptr);
        if (retired.timer == 0) {
            retired.helper->kill();
        }
    }
    m_retired.push_back(std::move(retired));
}

std::int64_t Win32HelperChannel::processId() const {
    return m_current ? m_current->processId() : 0;
}

void Win32HelperChannel::deliver() {
    // A listener may end or start a helper, or wait, while it is told: the current helper
    // is looked up again for every event.
    while (m_current) {
        std::optional<HelperEvent> event = m_current->take();
        if (!event) {
            break;
        }
        switch (event->kind) {
            case HelperEvent::Kind::Output:
                if (m_listener != nullptr) {
                    m_listener->helperOutput(event->bytes);
                }
                break;
            case HelperEvent::Kind::ErrorOutput:
                if (m_listener != nullptr) {
                    m_listener->helperErrorOutput(event->bytes);
                }
                break;
            case HelperEvent::Kind::Ended:
                retire(false);
                if (m_listener != nullptr) {
                    m_listener->helperEnded(winchannel::EndCause(event->exitCode));
                }
                wake();
                break;
        }
    }
    reap();
}

void Win32HelperChannel::reap() {
    std::erase_if(m_retired, [this](Retired& retired) {
        while (retired.helper->take()) {
        }
        if (!retired.helper->ended()) {
            return false;
        }
        if (retired.timer != 0) {
            ::KillTimer(m_window.get(), retired.timer);
        }
        return true;
    });
}

void Win32HelperChannel::onGraceOver(UINT_PTR timer) {
    ::KillTimer(m_window.get(), timer);
    for (Retired& retired : m_retired) {
        if (retired.timer == timer) {
            retired.helper->kill();
            retired.timer = 0;
        }
    }
}

void Win32HelperChannel::waitUntil(const std::function<bool()>& done, Clock::time_point deadline) {
    std::optional<WPARAM> quit;
    const HANDLE wake = m_wake.get();
    while (!quit && !done()) {
        const Clock::time_point now = this->now();
        if (now >= deadline) {
            break;
        }
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &wake, MillisecondsUntil(deadline, now),
                                                         QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            break;
        }
        if (woke != WAIT_OBJECT_0 + 1) {
            continue;  // woken, or the time is up: looked at again above
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            if (message.message == WM_QUIT) {
                quit = message.wParam;
                break;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            if (done() || this->now() >= deadline) {
                break;
            }
        }
    }
    // The program is quitting: its own loop takes the WM_QUIT again.
    if (quit) {
        ::PostQuitMessage(static_cast<int>(*quit));
    }
}

void Win32HelperChannel::wake() {
    ::SetEvent(m_wake.get());
}

}  // namespace brevane
