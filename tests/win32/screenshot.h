// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// What a window shows on the screen, as pixels and as a PNG file, for the window's tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace brevane::testing {

/// The pixels of a screen rectangle, row by row, each 0x00RRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t at(int x, int y) const {
        return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)];
    }
};

/// The screen's pixels under `window`'s rectangle, frame included when `withFrame`.
Pixels Capture(HWND window, bool withFrame);

/// Writes `pixels` as a PNG file; false when the file cannot be written.
bool SavePng(const Pixels& pixels, const std::string& path);

}  // namespace brevane::testing
