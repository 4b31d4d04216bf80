// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Twips as pixels.
#include "look/units.h"

#include <algorithm>
#include <cstdlib>

namespace brevane::look {

int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(std::abs(twips)) * dpi;
    const auto pixels = static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
    return twips >= 0 ? pixels : -pixels;
}

Rect PixelRect(const Geometry& twips, int dpi) {
    return Rect{TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
                TwipsToPixels(twips.width, dpi), TwipsToPixels(twips.height, dpi)};
}

Rect LineRect(const Geometry& twips, int dpi) {
    const int x1 = TwipsToPixels(twips.left, dpi);
    const int y1 = TwipsToPixels(twips.top, dpi);
    const int x2 = TwipsToPixels(twips.left + twips.width, dpi);
    const int y2 = TwipsToPixels(twips.top + twips.height, dpi);
    return Rect{std::min(x1, x2), std::min(y1, y2), std::max(std::abs(x2 - x1), 1),
                std::max(std::abs(y2 - y1), 1)};
}

Rect ControlRect(const ControlSpec& spec, int dpi) {
    return spec.kind == ControlKind::Line ? LineRect(spec.geometry, dpi)
                                          : PixelRect(spec.geometry, dpi);
}

Size ClientSize(int dpi) {
    return Size{TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)};
}

}  // namespace brevane::look
