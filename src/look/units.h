// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Twips as pixels at a DPI, and the pixel rectangle of every control.
#pragma once

#include "core/controls.h"

namespace brevane::look {

inline constexpr int kTwipsPerInch = 1440;
/// The DPI at which one logical pixel is kTwipsPerPixel twips.
inline constexpr int kBaseDpi = 96;

/// A rectangle in pixels: its top-left corner and its size.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

/// `twips` in pixels at `dpi`, rounded half away from zero, so that negative positions
/// mirror positive ones.
int TwipsToPixels(int twips, int dpi);

/// A rectangle in twips as pixels at `dpi`, each of its four numbers rounded on its own.
Rect PixelRect(const Geometry& twips, int dpi);

/// The pixels a line covers: one pixel thick, from its start point up to its end point,
/// which is left out, as a pen moving to it leaves it out. Only lines along an axis occur.
Rect LineRect(const Geometry& twips, int dpi);

/// Where a control stands in its container at `dpi`, before an auto-sized label fits
/// its text.
Rect ControlRect(const ControlSpec& spec, int dpi);

/// The window's client area at `dpi`.
Size ClientSize(int dpi);

}  // namespace brevane::look
