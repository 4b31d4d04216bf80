// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The time since a moment, as the tests that time something count it.
#pragma once

#include <chrono>

namespace brevane::testing {

using Clock = std::chrono::steady_clock;

inline std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

}  // namespace brevane::testing
