// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the exact UTF-16 text operations.
#include "core/text.h"

#include <gtest/gtest.h>

namespace brevane::text {
namespace {

TEST(TextFind, CountsFromOneAndGivesZeroWhenAbsent) {
    EXPECT_EQ(Find(u"所在地理位置：广东", u"所在"), 1u);
    EXPECT_EQ(Find(u"abcabc", u"c"), 3u);
    EXPECT_EQ(Find(u"abc", u"C"), 0u);  // no case folding
    EXPECT_EQ(Find(u"", u"a"), 0u);
    EXPECT_EQ(Find(u"\u3000", u" "), 0u);  // no width folding
}

TEST(TextMid, TakesAtMostCountAndNothingPastTheEnd) {
    EXPECT_EQ(Mid(u"abcdef", 2, 3), u"bcd");
    EXPECT_EQ(Mid(u"abcdef", 5, 60), u"ef");
    EXPECT_EQ(Mid(u"abcdef", 6, 1), u"f");
    EXPECT_EQ(Mid(u"abcdef", 7, 1), u"");
    EXPECT_EQ(Mid(u"abcdef", 87, 30), u"");
    EXPECT_EQ(Mid(u"", 1, 12), u"");
}

TEST(TextReplaceAll, ReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceAll(u"92#95#", u"#", u"#\u3000\u3000"), u"92#\u3000\u300095#\u3000\u3000");
    EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(ReplaceAll(u"油", u"油", u"油油"), u"油油");
    EXPECT_EQ(ReplaceAll(u"", u"x", u"y"), u"");
}

TEST(TextSplit, GivesThePiecesBetweenSeparators) {
    using Pieces = std::vector<std::u16string>;
    EXPECT_EQ(Split(u"a0#b0#c", u"0#"), (Pieces{u"a", u"b", u"c"}));
    EXPECT_EQ(Split(u"0#", u"0#"), (Pieces{u"", u""}));
    EXPECT_EQ(Split(u"abc", u"0#"), (Pieces{u"abc"}));
    EXPECT_TRUE(Split(u"", u"0#").empty());
}

TEST(TextDeleteChars, RemovesEveryMemberOfTheSet) {
    EXPECT_EQ(DeleteChars(u"广州92#汽油7.12元", u"广州,元"), u"92#汽油7.12");
    EXPECT_EQ(DeleteChars(u"abc", u""), u"abc");
    EXPECT_EQ(DeleteChars(std::u16string_view(u"\uFFFF\u0000x", 3),
                          std::u16string_view(u"\uFFFF\u0000", 2)),
              u"x");
}

TEST(TextUtf8, CrossesBothWaysAndMarksWhatIsNotWellFormed) {
    EXPECT_EQ(ToUtf8(u"a广\U0001F600"), "a\xE5\xB9\xBF\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8("a\xE5\xB9\xBF\xF0\x9F\x98\x80"), u"a广\U0001F600");
    EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    // A cut sequence, an overlong form, an encoded surrogate, a stray continuation byte.
    EXPECT_EQ(FromUtf8("\xE5\xB9|\xC0\xAF|\xED\xA0\x80|\x80"),
              u"\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD");
}

}  // namespace
}  // namespace brevane::text
