// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The look shared by the windows: line breaking and placing, twips as pixels, the
// default font's narrowing and the readable-colour rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "look/colour.h"
#include "look/fonts.h"
#include "look/label_layout.h"
#include "look/units.h"

namespace brevane::look {
namespace {

using Lines = std::vector<std::u16string>;

// One unit of width per character keeps the expected breaks easy to read.
double CharCount(std::u16string_view text) {
    return static_cast<double>(text.size());
}

TEST(LabelLines, BreakWhereTheCaptionDoesAndWrapAtBlanks) {
    const struct {
        const char* name;
        std::u16string_view text;
        double width;  // negative: auto-size, no wrapping
        Lines lines;
    } kCases[] = {
        {"CR LF starts a line", u"ab\r\ncd", -1, {u"ab", u"cd"}},
        {"a lone LF or CR too", u"ab\ncd\ref", -1, {u"ab", u"cd", u"ef"}},
        {"an empty caption is one empty line", u"", 10, {u""}},
        {"a trailing CR LF leaves an empty last line", u"ab\r\n", -1, {u"ab", u""}},
        {"auto-size never wraps", u"aa bb cc", -1, {u"aa bb cc"}},
        {"wrap before the word that crosses the edge", u"aa bb cc", 5, {u"aa bb", u"cc"}},
        {"a word that just fits stays", u"aa bb", 5, {u"aa bb"}},
        {"the blanks at a break are dropped", u"aa    bb", 4, {u"aa", u"bb"}},
        {"leading blanks stay on the first word", u"   0#x", 3, {u"   0#x"}},
        {"a word too wide for the label stays whole", u"abcdefgh ij", 4, {u"abcdefgh", u"ij"}},
        {"dashes in a narrow column, one a line", u"-- -- --", 2, {u"--", u"--", u"--"}},
        {"ideographic spaces are no blanks", u"92#\u3000\u3000x 7", 6, {u"92#\u3000\u3000x", u"7"}},
        {"wrapping works per hard line", u"aa bb\r\ncc dd", 5, {u"aa bb", u"cc dd"}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(BreakLabelLines(c.text, c.width, CharCount), c.lines) << c.name;
    }
}

TEST(LabelLines, AutoSizeKeepsTheCornerItWasGivenAndClippingDropsLinesBelow) {
    const Rect given{100, 40, 30, 12};
    EXPECT_EQ(AutoSizedRect(given, {u"abcd", u"ab"}, 20, false, CharCount), (Rect{100, 40, 4, 40}));
    EXPECT_EQ(AutoSizedRect(given, {u"abcd", u"ab"}, 20, true, CharCount), (Rect{126, 40, 4, 40}));
    EXPECT_EQ(AutoSizedRect(given, {u""}, 20, false, CharCount), (Rect{100, 40, 0, 20}));

    // A font 16 high with its ascent 13 sits in the middle of a 20-pixel cell.
    const std::vector<PlacedLine> placed =
        PlaceLines({u"ab", u"abc", u"cut off"}, Size{10, 40}, 20, true, 16, 13, CharCount);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].baseline, 15);
    EXPECT_EQ(placed[1].baseline, 35);
    EXPECT_EQ(placed[1].x, 7);
    EXPECT_EQ(LinePitch(FontKind::Panel, 144, 16), 30);
    EXPECT_EQ(LinePitch(FontKind::Default, 144, 16.2), 17);
}

TEST(Units, TwipsBecomePixelsRoundedHalfAwayFromZero) {
    const struct {
        const char* name;
        int twips;
        int dpi;
        int pixels;
    } kCases[] = {
        {"just under half a pixel", 7, 96, 0},
        {"just over half a pixel", 8, 96, 1},
        {"negative mirrors positive", -8, 96, -1},
        {"client width", kClientWidth, 96, 321},
        {"half a pixel at 144 dpi", 5, 144, 1},
        {"negative half at 144 dpi", -5, 144, -1},
        {"client width at 144 dpi", kClientWidth, 144, 482},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.name;
    }
}

TEST(Units, LinesCoverOnePixelUpToTheirEndPoint) {
    const struct {
        const char* name;
        Geometry twips;
        Rect pixels;
    } kCases[] = {
        {"across", {0, 3240, 4800, 0}, {0, 216, 320, 1}},
        {"down", {30, 15, 0, 150}, {2, 1, 1, 10}},
        {"drawn backwards", {300, 15, -150, 0}, {10, 1, 10, 1}},
        {"a point", {15, 15, 0, 0}, {1, 1, 1, 1}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(LineRect(c.twips, 96), c.pixels) << c.name;
    }
}

TEST(Fonts, TheDefaultFaceIsNarrowedOnlyWhereItsLatinRunsWide) {
    const struct {
        const char* name;
        double ideograph;
        double latin;
        std::optional<int> pixels;
    } kCases[] = {
        {"half as wide", 12, 6, std::nullopt},
        {"just inside the allowance", 12, 6.6, std::nullopt},
        {"two thirds as wide", 12, 8, 9},
        {"as wide as an ideograph", 12, 12, 6},
        {"a face without the ideograph", 0, 7, std::nullopt},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(NarrowedPixelSize(c.ideograph, c.latin), c.pixels) << c.name;
    }
    EXPECT_EQ(PointsToPixels(FontFor(FontKind::Panel).pointSize, 96), 14);
    EXPECT_EQ(PointsToPixels(FontFor(FontKind::Default).pointSize, 144), 18);
}

TEST(Colour, FixedColoursReadOrGiveWayToTheSystemsMadeReadable) {
    const Rgb white{255, 255, 255};
    const Rgb dialog = Rgb::FromHex(0xF0F0F0);
    const Rgb dark = Rgb::FromHex(0x302F2E);
    EXPECT_DOUBLE_EQ(ContrastRatio(Rgb{}, white), 21);
    EXPECT_DOUBLE_EQ(ContrastRatio(dialog, dialog), 1);
    const struct {
        const char* name;
        std::optional<Rgb> fixed;
        Rgb system;
        Rgb background;
        std::optional<Rgb> exactly;  // else: the system colour, made readable
    } kCases[] = {
        {"blue on the light dialog colour", Rgb::FromHex(0x0000FF), white, dialog,
         Rgb::FromHex(0x0000FF)},
        {"no fixed colour keeps the system's", std::nullopt, Rgb::FromHex(0x777777), dark,
         Rgb::FromHex(0x777777)},
        {"blue on a dark scheme", Rgb::FromHex(0x0000FF), Rgb::FromHex(0x0986D3), dark, {}},
        {"dark grey on high-contrast black", Rgb::FromHex(0x404040), white, Rgb{}, white},
    };
    for (const auto& c : kCases) {
        const Rgb ink = LabelInk(c.fixed, c.system, c.background);
        if (c.exactly) {
            EXPECT_EQ(ink, *c.exactly) << c.name;
        } else {
            EXPECT_NE(ink, c.system) << c.name;
            EXPECT_GE(ContrastRatio(ink, c.background), kReadableContrast) << c.name;
        }
    }
}

}  // namespace
}  // namespace brevane::look
