// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts of the controls.
#include "look/fonts.h"

#include <array>
#include <cmath>

namespace brevane::look {
namespace {

// The preferred face of the panel and notice fonts, then faces with the same role
// on other systems, so CJK text never falls back to a face chosen at random.
constexpr std::array<std::u16string_view, 6> kSansFamilies = {
    u"微软雅黑",         u"Microsoft YaHei",    u"WenQuanYi Micro Hei",
    u"Noto Sans CJK SC", u"Source Han Sans SC", u"Droid Sans Fallback",
};
// The default font has Latin letters half as wide as an ideograph, as the classic
// Chinese UI face has.
constexpr std::array<std::u16string_view, 5> kDefaultFamilies = {
    u"SimSun",
    u"NSimSun",
    u"WenQuanYi Micro Hei Mono",
    u"Noto Sans Mono CJK SC",
    u"Droid Sans Fallback",
};

}  // namespace

FontChoice FontFor(FontKind kind) {
    switch (kind) {
        case FontKind::Panel:
            return FontChoice{.families = kSansFamilies, .pointSize = 10.5};
        case FontKind::Notice:
            return FontChoice{.families = kSansFamilies, .pointSize = 9};
        case FontKind::Default:
            break;
    }
    return FontChoice{.families = kDefaultFamilies, .pointSize = 9};
}

std::optional<int> NarrowedPixelSize(double ideographAdvance, double latinAdvance) {
    if (!(latinAdvance > ideographAdvance * 0.55)) {
        return std::nullopt;
    }
    const auto pixels =
        static_cast<int>(ideographAdvance * ideographAdvance / 2 / latinAdvance + 0.05);
    // A face that measures nothing for an ideograph is left as it is.
    return pixels > 0 ? std::optional<int>(pixels) : std::nullopt;
}

int PointsToPixels(double points, int dpi) {
    return static_cast<int>(std::lround(points * dpi / 72));
}

}  // namespace brevane::look
