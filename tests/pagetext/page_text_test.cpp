// Tests of the body-text rule: markers, white space, line breaks, hidden content, hostile pages.
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

class PageTextRule : public testing::TestWithParam<Row> {};

TEST_P(PageTextRule, GivesTheClassicBodyText) {
    const std::u16string text = PageTextFromHtml(GetParam().html);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_FALSE(HasBareLineEnd(text));
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
     Cat(Cat(u"油价", kSiteBText), u"\r\n92#")},
    // White space.
    {"RunsCollapseToOneSpace", "a \t\r\n\f b", u"a b"},
    {"RunAcrossInlineBoundary", "a <b> b</b>", u"a b"},
    {"NoSpaceAddedAtInlineBoundary", "a<b>b</b>c", u"abc"},
    {"SpaceAtStartDropped", "<body>\n  a", u"a"},
    {"SpaceAtEndKept", "a \n", u"a "},
    {"SpaceAfterBrDropped", "a<br> \n b", u"a\r\nb"},
    {"SpaceBeforeBrKept", "a <br>b", u"a \r\nb"},
    {"SpaceBetweenBlocksDropped", "<div>a</div> \n <div>b</div>", u"a\r\nb"},
    {"SpaceBeforeBlockKept", "a <div>b</div>", u"a \r\nb"},
    {"NbspNeverCollapses", "a&nbsp;&nbsp; b", u"a   b"},
    {"NbspAtLineStartKept", "<div>&nbsp;a</div><div>&nbsp;</div>", u" a\r\n "},
    {"IdeographicSpaceKept", "\u3000a\u3000", u"\u3000a\u3000"},
    // Line breaks.
    {"TwoBrGiveTwoBreaks", "a<br><br>b", u"a\r\n\r\nb"},
    {"BrAtStartAndEndKept", "<br>a<br>", u"\r\na\r\n"},
    {"BrAfterBlockAddsABreak", "<div>a</div><br>b", u"a\r\n\r\nb"},
    {"Paragraphs", "<p>a</p><p>b</p>c", u"a\r\n\r\nb\r\n\r\nc"},
    {"ParagraphMergesWithBlock", "<div>a</div><p>b</p>", u"a\r\n\r\nb"},
    {"NestedBlocks", "<div>a<div><div>b</div></div>c</div>", u"a\r\nb\r\nc"},
    {"BreaksAtEdgesDropped", "<div><p><h1>a</h1></p></div>", u"a"},
    {"EmptyBlocksMerge", "a<div></div><hr><div></div>b", u"a\r\nb"},
    {"UnknownDialogIsABlock", "a<dialog open>b</dialog>c", u"a\r\nb\r\nc"},
    // Tables.
    {"TableCellsAndRows",
     "<table>\n <tr> <td>a</td>\n <td>b</td> </tr>\n <tr><th>c</th><td>d</td></tr>\n</table>",
     u"a b\r\nc d"},
    {"TableIsABlock", "x<table><tr><td>a</td></tr></table>y", u"x\r\na\r\ny"},
    {"EmptyCellGivesOneSeparator", "<table><tr><td>a</td><td></td><td>b</td></tr></table>", u"a b"},
    {"CellEndingInSpace", "<table><tr><td>a </td><td>b</td></tr></table>", u"a b"},
    // Hidden content.
    {"HiddenAttribute", "a<span hidden>x</span>b<div hidden=hidden>y</div>", u"ab"},
    {"DisplayNone", "a<div style=\"color: red; display : NONE\">x</div>b", u"ab"},
    {"DisplayNoneImportant", "a<span style='display:none !important'>x</span>", u"a"},
    {"DisplayNoneOverridden", "<span style='display:none; display:inline'>x</span>", u"x"},
    {"OtherDisplayShown", "<span style='display:nonesuch'>x</span>", u"x"},
    {"ScriptAndStyle", "a<script>var s = '<b>x</b>';</script><style>p{}</style>b", u"ab"},
    {"FormsAndMedia",
     "a<select><option>o</select><textarea>t</textarea><button>u</button><input value=v>"
     "<video>w</video><noscript>n</noscript><iframe>f</iframe><template>t</template>b",
     u"ab"},
    {"Comments", "a<!-- x -->b<!--->c", u"abc"},
    // Text kept as written.
    {"Pre", "x<pre>\n  a \n\tb  </pre>y", u"x\r\n  a \r\n\tb  \r\ny"},
    {"InlineInsidePre", "<pre>a <b> b</b></pre>", u"a  b"},
    {"Xmp", "<xmp><b>  a</b></xmp>", u"<b>  a</b>"},
    {"Plaintext", "a<plaintext> <b>\n", u"a\r\n <b>\r\n"},
    // Malformed and odd documents.
    {"UnclosedParagraphs", "<p>a<p>b", u"a\r\n\r\nb"},
    {"StrayEndTags", "a</div></span></p>b", u"a\r\n\r\nb"},
    {"MisnestedInline", "<b>a<i>b</b>c</i>", u"abc"},
    {"EndBrIsABreak", "a</br>b", u"a\r\nb"},
    {"UnclosedTableCells", "<table><td>a<td>b<tr><td>c", u"a b\r\nc"},
    {"TextOutsideBody", "<html>a<head></head><body>b</body>c</html>", u"abc"},
    {"EmptyDocument", "", u""},
    {"EmptyBody", "<html><body> \n </body></html>", u""},
    {"HeadOnly", "<html><head><title>t</title></head></html>", u""},
    {"FramesetOnly", "<html><frameset><frame src=a></frameset></html>", u""},
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
                         [](const auto& info) { return std::string(info.param.name); });

std::string Repeat(std::string_view piece, std::size_t count) {
    std::string out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        out += piece;
    }
    return out;
}

TEST(PageTextHostile, DeepNestingNeitherCrashesNorLosesText) {
    constexpr std::size_t kDepth = 100000;
    EXPECT_EQ(PageTextFromHtml(Repeat("<span>", kDepth) + "x"), u"x");
    EXPECT_EQ(PageTextFromHtml(Repeat("<table><tr><td>", kDepth) + "x"), u"x");
}

TEST(PageTextHostile, TwentyMegabytePage) {
    const std::string row = Cat("<tr><td>", kSiteAHtml, "<br>92#汽油</td><td>7.12</td></tr>\n");
    const std::size_t rows = (20u << 20) / row.size() + 1;
    // Checks the text, not the time: sanitizer builds are several times slower.
    const std::u16string text = detail::PageTextFromHtml(
        "<body><table>" + Repeat(row, rows) + "</table>end", std::chrono::minutes{1});

    const std::u16string line = Cat(kSiteAText, u"92#汽油 7.12\r\n");
    ASSERT_EQ(text.size(), rows * line.size() + 3);
    EXPECT_EQ(text.substr(0, line.size()), line);
    EXPECT_EQ(text.substr(text.size() - line.size() - 3), line + u"end");
}

TEST(PageTextHostile, ParseOverBudgetGivesEmptyText) {
    const std::string page = Repeat("<div>a</div>", 100000);
    EXPECT_EQ(detail::PageTextFromHtml(page, std::chrono::milliseconds{0}), u"");
    EXPECT_EQ(detail::PageTextFromHtml(page, std::chrono::minutes{1}).size(),
              100000 + 2 * (100000 - 1));
}

}  // namespace
}  // namespace brevane
