// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's end of a Windows page helper's pipes, as the tests drive them.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "pageproto/page_protocol.h"

namespace brevane::testing {

/// Writes requests to a helper's input and reads its answers, each within a time.
class AnswerPipe {
public:
    AnswerPipe(HANDLE toHelper, HANDLE fromHelper) : m_to(toHelper), m_from(fromHelper) {}

    void send(const pageproto::Request& request) {
        const std::string frame = pageproto::Frame(request);
        DWORD n = 0;
        WriteFile(m_to, frame.data(), static_cast<DWORD>(frame.size()), &n, nullptr);
    }

    /// The next answer, unless none comes within `within` or the output ends first.
    std::optional<pageproto::Answer> next(std::chrono::milliseconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        for (;;) {
            if (const auto payload = m_reader.next()) {
                return pageproto::ParseAnswer(*payload);
            }
            DWORD available = 0;
            if (!PeekNamedPipe(m_from, nullptr, 0, nullptr, &available, nullptr)) {
                return std::nullopt;
            }
            if (available > 0) {
                std::string bytes(available, '\0');
                DWORD n = 0;
                ReadFile(m_from, bytes.data(), available, &n, nullptr);
                m_reader.append(std::string_view(bytes).substr(0, n));
            } else if (std::chrono::steady_clock::now() >= deadline) {
                return std::nullopt;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }

private:
    HANDLE m_to;
    HANDLE m_from;
    pageproto::FrameReader m_reader;
};

}  // namespace brevane::testing
