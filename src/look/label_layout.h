// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// How a label lays out its caption: hard line breaks, wrapping at blanks only, the line
// pitch, auto-size and clipping. A window measures text in its own font; the rules are here.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"
#include "look/units.h"

namespace brevane::look {

/// The width of a piece of text in the label's font, in pixels.
using Advance = std::function<double(std::u16string_view)>;

/// Breaks `text` into the lines a label draws. CR LF, a lone CR and a lone LF each end
/// a line. When `wrapWidth` is given (>= 0), a line is also broken at the blanks in
/// front of the first word that would cross `wrapWidth`; those blanks are dropped, and
/// a single word wider than `wrapWidth` stays whole. Only U+0020 is a blank.
std::vector<std::u16string> BreakLabelLines(std::u16string_view text, double wrapWidth,
                                            const Advance& advance);

/// The lines a label shows: wrapped inside its width, or, auto-sized, broken only where
/// the caption breaks.
std::vector<std::u16string> LabelLines(std::u16string_view caption, bool autoSize, int width,
                                       const Advance& advance);

/// The height of one line: the panel font draws on the fixed pitch of kPanelLinePitch,
/// so that labels of the price table line up row by row whatever the face; the other
/// fonts on their own height, rounded up.
int LinePitch(FontKind font, int dpi, double fontHeight);

/// The rectangle an auto-sized label takes: as wide as its widest line, rounded up, and
/// one pitch per line. It keeps the top-left corner of `given`, or its top-right corner
/// when right-aligned, so that right-aligned text stays flush with the edge it was given.
Rect AutoSizedRect(const Rect& given, const std::vector<std::u16string>& lines, int pitch,
                   bool rightAligned, const Advance& advance);

/// A line as it is drawn: its text from `x`, on the baseline `baseline`, in the label.
struct PlacedLine {
    std::u16string text;
    double x = 0;
    int baseline = 0;
};

/// Where each line is drawn in a label of `size`. Line i fills the cell [i * pitch,
/// (i + 1) * pitch), its baseline where a font exactly the pitch's height would put it,
/// so that a font taller or shorter than the pitch still draws each line in its own
/// cell. A line whose cell starts below the label is cut off, as is whatever of the
/// text falls outside it.
std::vector<PlacedLine> PlaceLines(const std::vector<std::u16string>& lines, Size size, int pitch,
                                   bool rightAligned, double fontHeight, double fontAscent,
                                   const Advance& advance);

}  // namespace brevane::look
