// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Where every frame, label and line of the window stands at 96 dpi, in pixels relative to
// its container, as the window is created: the one table both windows' tests check.
#pragma once

#include <cstdlib>
#include <string>

#include "core/controls.h"

namespace brevane::testing {

struct ExpectedRect {
    Control id;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    /// An auto-sized label's width depends on the font. The tests install the same faces
    /// for both windows (WenQuanYi Micro Hei, and its Mono face as the default font), and
    /// the default font's texts measure the same; but Qt adds up the panel font's advances
    /// in fractions of a pixel and GDI in whole pixels, so where Latin letters and digits
    /// run among the ideographs GDI comes out wider by this much. A right-aligned label
    /// keeps its right edge exactly.
    int widthTolerance = 0;
    bool rightAligned() const { return SpecOf(id).rightAligned; }
};

/// Topmost first within each container, as the inventory lists them.
inline constexpr ExpectedRect kControlRects[] = {
    {Control::Frame1, 8, 8, 305, 161},  // the bordered price table
    {Control::Lab_ZanZhu, 95, 224, 20, 12},
    {Control::Label_Time, 206, 224, 108, 12},  // right edge 3000 + 1710 twips
    {Control::Label6, 8, 224, 72, 12},
    {Control::Line2, 0, 216, 320, 1},  // the end point is left out
    {Control::Lab_Replace, 8, 176, 303, 36},
    {Control::Label5, 88, 224, 32, 12},
    {Control::Fr_QiYouJiaGe_2, 192, 48, 41, 105},  // column II
    {Control::Lab_DanJia_1, 128, 48, 41, 108},
    {Control::Label3, 200, 46, 12, 100},
    {Control::Label1, 254, 48, 42, 100},
    {Control::Line1, 0, 42, 304, 1},
    {Control::Lab_QiYouJiaGe, 18, 68, 153, 84},
    {Control::Label2, 16, 16, 264, 20, 1},  // 265 in GDI
    {Control::Lab_YouJia, 18, 48, 188, 100},
    {Control::NetError, 16, 48, 70, 20},
    {Control::Lab_Error89, 18, 48, 157, 20, 2},  // 159 in GDI
    {Control::Lab_DanJia_2, 0, 0, 41, 108},
    {Control::Lab_QiYouJiaGe_2, -112, 20, 153, 84},  // left of its frame, clipped by it
    {Control::Lab_YouJia_2, -112, 0, 188, 100},
    {Control::Label4, 8, -2, 12, 100},  // above the frame's top
};

/// Empty when a control found at `left`, `top`, `width` x `height` matches `row` at
/// `dpi`; else what differs. At another DPI than 96 every number is the table's scaled,
/// within a pixel of rounding; a width that depends on the font within 2% more, as a
/// face's hinted advances do not scale exactly.
inline std::string RectMismatch(const ExpectedRect& row, int dpi, int left, int top, int width,
                                int height) {
    const double scale = dpi / 96.0;
    const int slack = dpi == 96 ? 0 : 1;
    const auto within = [&](double expected, int actual, double tolerance) {
        return std::abs(actual - expected * scale) <= tolerance * scale + slack;
    };
    const int right = left + width;
    const double fontSlack = dpi != 96 && SpecOf(row.id).autoSize ? row.width * 0.02 : 0;
    const bool fits =
        within(row.top, top, 0) && within(row.height, height, 0) &&
        within(row.width, width, row.widthTolerance + fontSlack) &&
        (row.rightAligned() ? within(row.left + row.width, right, 0) : within(row.left, left, 0));
    if (fits) {
        return {};
    }
    return std::string(SpecOf(row.id).name) + " at " + std::to_string(dpi) + " dpi: found (" +
           std::to_string(left) + ", " + std::to_string(top) + ", " + std::to_string(width) +
           " x " + std::to_string(height) + "), expected (" + std::to_string(row.left) + ", " +
           std::to_string(row.top) + ", " + std::to_string(row.width) + " x " +
           std::to_string(row.height) + ") at 96 dpi";
}

}  // namespace brevane::testing
