// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the price-adjustment notice and its 40-litre estimate.
#include "prices/notice.h"

#include <gtest/gtest.h>

#include "support/fake_ports.h"
#include "support/row_name.h"
#include "support/sample_pages.h"

namespace brevane {
namespace {

using namespace testing;

const std::u16string kDisclaimer =
    u"油价数据仅供参考，实际在售油价可能有小幅偏差\r\n请以您所在地区的加油站实际售价为准";

struct NoticeCase {
    const char* name;
    std::u16string page;
    std::u16string caption;
};
void PrintTo(const NoticeCase& c, std::ostream* os) {
    *os << c.name;
}

class NoticeCaptionTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(NoticeCaptionTest, WritesTheNotice) {
    EXPECT_EQ(NoticeCaption(GetParam().page), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, NoticeCaptionTest,
    ::testing::Values(
        NoticeCase{"Fall", u"0#柴油6.83 油价下跌(0.13元/升)",
                   u"油价下跌(约省5.2元/40L/箱)(0.13元/升)"},
        NoticeCase{"Rise", u"0#柴油6.83 油价上涨(0.25元/升)",
                   u"油价上涨(约贵10元/40L/箱)(0.25元/升)"},
        NoticeCase{"WholeEstimateHasNoPoint", u"0#柴油 油价下跌(0.15)",
                   u"油价下跌(约省6元/40L/箱)(0.15)"},
        NoticeCase{"SmallAmounts", u"0#柴油 油价上涨(0.07) 油价",
                   u"油价上涨(约贵2.8元/40L/箱)(0.07) "},
        NoticeCase{"NoNotice", u"0#柴油6.83 暂无调价", kDisclaimer},
        NoticeCase{"EmptyPage", u"", kDisclaimer},
        NoticeCase{"NoticeWordOnlyAtTheEnd", u"0#柴油" + std::u16string(78, u'x') + u"油价",
                   u"油价"},
        NoticeCase{"NoticeBeyondEightyCharacters", u"0#柴油" + std::u16string(79, u'x') + u"油价",
                   kDisclaimer},
        NoticeCase{"SecondNoticeWordEndsTheNotice", u"0#柴油 油价下跌 油价上涨(0.1)", u"油价下跌 "},
        NoticeCase{"FallWinsOverRise", u"0#柴油 油价上涨后下跌(0.09)",
                   u"油价上涨后下跌(约省3.6元/40L/箱)(0.09)"},
        NoticeCase{"AmountBeforeTheWord", u"0#柴油 油价(0.1)下跌了",
                   u"油价(0.1)下跌(约省4元/40L/箱)了"},
        NoticeCase{"SecondFallDropsTheRest", u"0#柴油 油价下跌(0.1)又下跌x",
                   u"油价下跌(约省4元/40L/箱)(0.1)又"},
        NoticeCase{"NoParenthesisNoEstimate", u"0#柴油 油价下跌0.13元", u"油价下跌0.13元"},
        NoticeCase{"AmountNotANumber", u"0#柴油 油价下跌(约0.13元)", u"油价下跌(约0.13元)"},
        NoticeCase{"LongAmountReadWhole", u"0#柴油 油价下跌(0.125元/升)",
                   u"油价下跌(约省5元/40L/箱)(0.125元/升)"},
        NoticeCase{"SpacesAndMinusAccepted", u"0#柴油 油价上涨( -0.05)",
                   u"油价上涨(约贵-2元/40L/箱)( -0.05)"},
        NoticeCase{"NoDieselEntryStartsAtFour", u"abc油价上涨(0.07)",
                   u"油价上涨(约贵2.8元/40L/箱)(0.07)"},
        NoticeCase{"TinyEstimateWithoutExponent", u"0#柴油 油价下跌(0.000001)",
                   u"油价下跌(约省0.00004元/40L/箱)(0.000001)"},
        NoticeCase{"HugeEstimateWithoutExponent", u"0#柴油 油价下跌(100000000000000)",
                   u"油价下跌(约省4000000000000000元/40L/箱)(100000000000000)"},
        NoticeCase{"NegativeTinyEstimateWithoutExponent", u"0#柴油 油价下跌(-0.0000002)",
                   u"油价下跌(约省-0.000008元/40L/箱)(-0.0000002)"}),
    testing::RowName());

TEST(LoadReplace, ReadsTheProvincePageAgainWithoutARequest) {
    FakeProgram program;
    program.pages.Serve(u"http://a.test/guangdong.shtml", SiteAPage(u"广东"));
    program.pages.LoadPage(Control::Web_QiYouJiaGe, u"http://a.test/guangdong.shtml");
    Load_Replace(program.run);
    EXPECT_EQ(program.pages.requests().size(), 1u);
    EXPECT_EQ(program.window.caption(Control::Lab_Replace),
              u"油价下跌(约省5.2元/40L/箱)(0.13元/升)\r\n");
}

}  // namespace
}  // namespace brevane
