// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The font of each kind of control: its faces in order of preference, its size and weight,
// and the rule that draws the default face smaller where its Latin letters run wide.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "core/controls.h"

namespace brevane::look {

struct FontChoice {
    /// Faces in order of preference: the first is the one the window was designed with,
    /// the others have the same role on systems without it.
    std::span<const std::u16string_view> families;
    double pointSize = 9;
    int weight = 400;  ///< normal, as CSS and GDI count
};

/// The font of a control's font kind.
FontChoice FontFor(FontKind kind);

/// Measured in the default font, the width of this character stands for an ideograph...
inline constexpr char16_t kIdeographProbe = u'\u3000';
/// ...and the width of this one for a Latin letter.
inline constexpr char16_t kLatinProbe = u'0';

/// The pixel size the default font is drawn at instead of its point size, given the
/// advances of kIdeographProbe and kLatinProbe at that point size; none when the face
/// suits as it is. The status line needs Latin letters half as wide as an ideograph:
/// there "[" and "]" of one label frame the sponsor word of another exactly, and the
/// credit line and the date fit their places. A face whose Latin letters are wider
/// would push those texts into each other, so it is drawn at the size where they are
/// half as wide again.
std::optional<int> NarrowedPixelSize(double ideographAdvance, double latinAdvance);

/// A size in points as pixels at `dpi`, rounded to the nearest pixel.
int PointsToPixels(double points, int dpi);

}  // namespace brevane::look
