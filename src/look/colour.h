// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The readable-colour rule: a label's fixed colour where it reads on the background, else
// the system's text colour made just readable enough.
#pragma once

#include <cstdint>
#include <optional>

namespace brevane::look {

struct Rgb {
    int red = 0;  ///< 0 to 255, as each of the others
    int green = 0;
    int blue = 0;
    static constexpr Rgb FromHex(std::uint32_t rrggbb) {
        return Rgb{static_cast<int>((rrggbb >> 16) & 0xFF), static_cast<int>((rrggbb >> 8) & 0xFF),
                   static_cast<int>(rrggbb & 0xFF)};
    }
    constexpr std::uint32_t hex() const {
        return (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8) |
               static_cast<std::uint32_t>(blue);
    }
    bool operator==(const Rgb&) const = default;
};

/// Text reads well from 4.5:1. A label aims higher, as antialiasing softens the thin
/// strokes of small text to a little less than the pen's colour.
inline constexpr double kReadableContrast = 5.0;

/// The contrast ratio of two colours as WCAG 2 defines it: from 1 (the same light) to 21
/// (black on white).
double ContrastRatio(Rgb a, Rgb b);

/// `ink`, mixed with white on a dark background or black on a light one in the least of
/// sixteen steps that reads at kReadableContrast. Pure white or black always does.
Rgb ReadableOn(Rgb ink, Rgb background);

/// The colour a label draws its text in on `background`. A fixed colour is drawn as it
/// is wherever it reads at kReadableContrast, as on the light schemes it was chosen for;
/// where it does not, as on a dark or high-contrast scheme, the system's colour for the
/// label's kind (`system`: the text colour, or the link colour for a link) is made
/// readable instead. Without a fixed colour the label draws in `system` as it is.
Rgb LabelInk(std::optional<Rgb> fixed, Rgb system, Rgb background);

}  // namespace brevane::look
