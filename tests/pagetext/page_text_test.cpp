// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the body-text rule: markers, white space, breaks, tables, hidden content, hostile pages.
#include "pagetext/page_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace brevane {
namespace {

// The ends of the two page markers the price loaders search for.
constexpr std::string_view kSiteAHtml = "（数据来源自广东） ";
constexpr std::u16string_view kSiteAText = u"（数据来源自广东） \r\n";
constexpr std::string_view kSiteBHtml = "(元/升) ";
constexpr std::u16string_view kSiteBText = u"(元/升) \r\n";

struct Row {
    const char* name;
    std::string html;
    std::u16string text;
    detail::ParseEnd end = detail::ParseEnd::Complete;
};

std::string Cat(std::string_view a, std::string_view b, std::string_view c = {}) {
    return std::string(a) + std::string(b) + std::string(c);
}

std::u16string Cat(std::u16string_view a, std::u16string_view b) {
    return std::u16string(a) + std::u16string(b);
}

bool HasBareLineEnd(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crlf = i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n';
        if (crlf) {
            ++i;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            return true;
        }
    }
    return false;
}

std::string Repeat(std::string_view piece, std::size_t count) {
    std::string out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        out += piece;
    }
    return out;
}

// Every block re-opens the 500 formatting elements left open before it, attributes and all.
std::string FormattingReopenedPerBlock() {
    std::string page = "<div>";
    for (int i = 0; i < 500; ++i) {
        page += "<b x" + std::to_string(i) + ">";
    }
    return page + "</div>" + Repeat("<div>t</div>", 40000);
}

class PageTextRule : public testing::TestWithParam<Row> {};

TEST_P(PageTextRule, GivesTheClassicBodyText) {
    detail::ParseReport report;
    const std::u16string text =
        detail::PageTextFromHtml(GetParam().html, detail::kParseBudget, &report);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_FALSE(HasBareLineEnd(text));
    // Hostile rows end on their own limits, well within time and memory.
    EXPECT_EQ(report.end, GetParam().end);
    EXPECT_LT(report.arenaBytes, std::size_t{512} << 20);
}

const Row kRows[] = {
    // The markers, as the two sites write them.
    {"SiteAMarkerBeforeBr", Cat("<body>", kSiteAHtml, "<br>92#汽油"), Cat(kSiteAText, u"92#汽油")},
    {"SiteAMarkerInDivs", Cat("<div>", kSiteAHtml, "</div>\n<div>92#</div>"),
     Cat(kSiteAText, u"92#")},
    {"SiteAMarkerSpaceBeforeInlineEnd", Cat("<p><b>", kSiteAHtml, "</b><br>\n 92#</p>"),
     Cat(kSiteAText, u"92#")},
    {"SiteBMarkerBeforeBr", Cat("<td>油价", kSiteBHtml, "<br>92# 7.12"),
     Cat(Cat(u"油价", kSiteBText), u"92# 7.12")},
    {"SiteBMarkerInParagraph", Cat("<p>油价", kSiteBHtml, "\r\n</p><div>92#</div>"),
     Cat(Cat(u"油价", kSiteBText), u"92#")},
    {"SiteBMarkerIsARowsLastCell",
     "<table><tr><th>油品</th><th>价格(元/升)</th></tr><tr><td>92#</td><td>7.12</td></tr></table>",
     Cat(Cat(u"油品 价格", kSiteBText), u"92# 7.12")},
    // White space.
    {"RunsCollapseToOneSpace", "a \t\r\n\f b", u"a b"},
    {"RunAcrossInlineBoundary", "a <b> b</b>", u"a b"},
    {"NoSpaceAddedAtInlineBoundary", "a<b>b</b>c", u"abc"},
    {"SpaceAtStartDropped", "<body>\n  a", u"a"},
    {"SpaceAtEndKept", "a \n", u"a "},
    {"SpaceAfterBrDropped", "a<br> \n b", u"a\r\nb"},
    {"SpaceBeforeBrKept", "a <br>b", u"a \r\nb"},
    {"SpaceBetweenBlocksDropped", "<div>a</div> \n <div>b</div>", u"a\r\nb"},
    {"SpaceBeforeBlockKept", "Old <p>innerText</p>", u"Old \r\ninnerText"},
    {"NbspNeverCollapses", "a&nbsp;&nbsp; b", u"a   b"},
    {"NbspAtLineStartKept", "<div>&nbsp;a</div><div>&nbsp;</div>", u" a\r\n "},
    {"IdeographicSpaceKept", "\u3000a\u3000", u"\u3000a\u3000"},
    // Line breaks.
    {"TwoBrGiveTwoBreaks", "a<br><br>b", u"a\r\n\r\nb"},
    {"BrAtStartAndEndKept", "<br>a<br>", u"\r\na\r\n"},
    {"BrAfterBlockAddsABreak", "<div>a</div><br>b", u"a\r\n\r\nb"},
    {"ParagraphBreaksOnceLikeADiv", "<p>a</p><p>b</p><div>c</div>d", u"a\r\nb\r\nc\r\nd"},
    {"HrBreaksTwiceAndBrBeforeItStays", "abc<hr>123<br><hr>def", u"abc\r\n\r\n123\r\n\r\n\r\ndef"},
    {"NestedBlocks", "<div>a<div><div>b</div></div>c</div>", u"a\r\nb\r\nc"},
    {"BreaksAtEdgesDropped", "<div><p><h1>a</h1></p></div>", u"a"},
    {"EmptyBlocksMerge", "a<div></div><p></p><div></div>b", u"a\r\nb"},
    // Tags that only newer versions of gumbo know keep the same roles.
    {"DialogIsABlock", "a<DIALOG open>b</dialog>c", u"a\r\nb\r\nc"},
    {"PictureIsInline", "a<picture>b</picture>c", u"abc"},
    {"SearchIsInline", "a<search>b</search>c", u"abc"},
    {"DisplayChangesNoBreak",
     "a<span style='display:block'>b</span><div style='display:inline'>c</div>d", u"ab\r\nc\r\nd"},
    // Tables.
    {"EveryCellEndsInASpaceEveryRowInABreak",
     "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>x", u"a b \r\nc \r\nx"},
    {"TableLayoutWhiteSpaceIgnored",
     "<table>\n <tr> <td>a</td>\n <td>b</td> </tr>\n <tr><th>c</th><td>d</td></tr>\n</table>",
     u"a b \r\nc d"},
    {"TableIsABlock", "x<table><tr><td>a</td></tr></table>y", u"x\r\na \r\ny"},
    {"CaptionAddsNoBreak", "x<table><caption>c</caption><tr><td>a</td></tr></table>y",
     u"x\r\nca \r\ny"},
    {"EmptyCellKeepsItsSpace", "<table><tr><td>a</td><td></td><td>b</td></tr></table>x",
     u"a  b \r\nx"},
    {"RowOfEmptyCellsKeepsItsLine",
     "<table><tr><td>a</td></tr><tr><td></td><td></td></tr><tr><td>b</td></tr></table>",
     u"a \r\n  \r\nb"},
    {"NbspCellAddsItsSpaceToo", "<table><tr><td>&nbsp;</td><td>b</td></tr></table>x", u"  b \r\nx"},
    {"CellSpaceTakesUpTheCellsWhiteSpace", "<table><tr><td> a </td><td>\n b\n</td></tr></table>x",
     u"a b \r\nx"},
    {"CellSpaceAfterABlockStartsTheLine", "<table><tr><td><p>a</p></td><td>b</td></tr></table>",
     u"a\r\n b"},
    {"EndTrimmedOfTableSeparators", "<table><tr><td>cell1</td></tr><tr><td></td></tr></table>\n",
     u"cell1"},
    // Hidden and form content.
    {"HiddenContentIncluded",
     "a<span hidden>x</span><div style='display:none'>y</div><i style='visibility:hidden'>z</i>b",
     u"ax\r\ny\r\nzb"},
    {"ScriptStyleNoscriptAndHeadGiveNothing",
     "<head><title>t</title><style>p{}</style></head><body>a<script>var s = '<b>x</b>';</script>"
     "<noscript>n</noscript><style>p{}</style>b",
     u"ab"},
    {"ButtonAndOptionsIncluded",
     "a<button>u</button><select>\n<option>opt1</option>\n<option>opt2</select>b", u"auopt1opt2b"},
    {"InputKeepsTheSpacesOnBothSides", "a <input value=v> b", u"a  b"},
    {"TextareaMediaAndTemplatesGiveNothing",
     "a<textarea>t</textarea><video>w</video><iframe>f</iframe><template>t</template><img alt=i>b",
     u"ab"},
    {"Comments", "a<!-- x -->b<!--->c", u"abc"},
    // Text kept as written.
    {"Pre", "x<pre>\n  a \n\tb  </pre>y", u"x\r\n  a \r\n\tb  \r\ny"},
    {"InlineInsidePre", "<pre>a <b> b</b></pre>", u"a  b"},
    {"Xmp", "<xmp><b>  a</b></xmp>", u"<b>  a</b>"},
    {"Plaintext", "a<plaintext> <b>\n", u"a\r\n <b>\r\n"},
    // Malformed and odd documents.
    {"UnclosedParagraphs", "<p>a<p>b", u"a\r\nb"},
    {"StrayEndTags", "a</div></span></p>b", u"a\r\nb"},
    {"MisnestedInline", "<b>a<i>b</b>c</i>", u"abc"},
    {"EndBrIsABreak", "a</br>b", u"a\r\nb"},
    {"UnclosedTableCells", "<table><td>a<td>b<tr><td>c", u"a b \r\nc"},
    {"TextOutsideBody", "<html>a<head></head><body>b</body>c</html>", u"abc"},
    {"EmptyDocument", "", u""},
    {"EmptyBody", "<html><body> \n </body></html>", u""},
    {"HeadOnly", "<html><head><title>t</title></head></html>", u""},
    {"FramesetOnly", "<html><frameset><frame src=a></frameset></html>", u""},
    // Hostile documents.
    {"NestingAtTheLimitRead", Repeat("<span>", kMaxNesting) + "x", u"x"},
    {"NestingPastTheLimitGivesEmptyText", Repeat("<span>", kMaxNesting + 1) + "x", u"",
     detail::ParseEnd::TooDeep},
    {"FramesetAfterDeepNestingGivesEmptyText", Repeat("<q>", 300000) + "<frameset>", u"",
     detail::ParseEnd::TooDeep},
    {"FormattingReopenedPerBlockGivesEmptyText", FormattingReopenedPerBlock(), u"",
     detail::ParseEnd::OutOfMemory},
    // Encoding.
    {"Entities", "&lt;b&gt; &amp; &#x4E2D;&#22269;", u"<b> & 中国"},
    {"AstralCharacter", "\xF0\x9F\x98\x80", u"\U0001F600"},
    {"InvalidUtf8",
     "a\xFF"
     "b\xC0\xAF"
     "c\xE4\xB8",
     u"a\uFFFDb\uFFFD\uFFFDc\uFFFD"},
};

INSTANTIATE_TEST_SUITE_P(Rows, PageTextRule, testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PageTextHostile, TwentyMegabytePage) {
    const std::string row = Cat("<tr><td>", kSiteAHtml, "<br>92#汽油</td><td>7.12</td></tr>\n");
    const std::size_t rows = (20u << 20) / row.size() + 1;
    // Checks the text, not the time: sanitizer builds are several times slower.
    const std::u16string text = detail::PageTextFromHtml(
        "<body><table>" + Repeat(row, rows) + "</table>end", std::chrono::minutes{1});

    const std::u16string line = Cat(kSiteAText, u"92#汽油 7.12 \r\n");
    ASSERT_EQ(text.size(), rows * line.size() + 3);
    EXPECT_EQ(text.substr(0, line.size()), line);
    EXPECT_EQ(text.substr(text.size() - line.size() - 3), line + u"end");
}

TEST(PageTextHostile, ParseOverBudgetGivesEmptyText) {
    const std::string page = Repeat("<div>a</div>", 100000);
    detail::ParseReport report;
    EXPECT_EQ(detail::PageTextFromHtml(page, std::chrono::milliseconds{0}, &report), u"");
    EXPECT_EQ(report.end, detail::ParseEnd::OutOfTime);
    EXPECT_EQ(detail::PageTextFromHtml(page, std::chrono::minutes{1}).size(),
              100000 + 2 * (100000 - 1));
}

}  // namespace
}  // namespace brevane
