// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the location sources and the Guangdong offer.
#include "location/location.h"

#include <gtest/gtest.h>

#include "support/fake_ports.h"
#include "support/row_name.h"

namespace brevane {
namespace {

using testing::FakeProgram;

struct SourceCase {
    const char* name;
    std::u16string source1;
    std::u16string source2;
    std::u16string source3;
    std::u16string fragment;
    std::size_t pagesLoaded;
};

void PrintTo(const SourceCase& c, std::ostream* os) {
    *os << c.name;
}

class DetectLocationTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(DetectLocationTest, CutsTheFirstPageWithItsMarker) {
    const SourceCase& c = GetParam();
    FakeProgram program;
    const WebAddresses& at = program.run.addresses;
    program.pages.Serve(at.locationSource1, c.source1);
    program.pages.Serve(at.locationSource2, c.source2);
    program.pages.Serve(at.locationSource3, c.source3);

    EXPECT_EQ(DetectLocation(program.run), c.fragment);

    const std::vector<std::u16string> all{at.locationSource1, at.locationSource2,
                                          at.locationSource3};
    EXPECT_EQ(program.pages.addresses(),
              std::vector<std::u16string>(all.begin(), all.begin() + c.pagesLoaded));
    for (const auto& request : program.pages.requests()) {
        EXPECT_EQ(request.browser, Control::Web_IP);
    }
}

const std::u16string k80(80, u'x');

INSTANTIATE_TEST_SUITE_P(
    Sources, DetectLocationTest,
    ::testing::Values(SourceCase{"Source1", u"IP 1.2.3.4 所在地理位置：广东省深圳市 电信 更多文字",
                                 u"来自北京", u"", u"广东省深圳市 电信 更多", 1},
                      SourceCase{"Source1EndsSoon", u"所在地理位置：广东", u"", u"", u"广东", 1},
                      SourceCase{"Source1MarkerAtEnd", u"所在地理位置：", u"来自北京", u"", u"", 1},
                      SourceCase{"Source2FirstOccurrence", u"无", u"来自火星 来自北京", u"",
                                 u"火星 来自北京", 2},
                      SourceCase{"Source3SkipsEighty", u"", u"",
                                 u"纯真IP库数据" + k80 + u"广东省广州市" + std::u16string(30, u'y'),
                                 u"广东省广州市" + std::u16string(24, u'y'), 3},
                      SourceCase{"Source3WithoutMarkerStartsAt87", u"", u"",
                                 std::u16string(86, u'z') + u"江苏南京", u"江苏南京", 3},
                      SourceCase{"Source3ShortAndWithoutMarker", u"", u"", u"短", u"", 3}),
    testing::RowName());

TEST(OfferDefaultRegion, AcceptSetsGuangdongAndAsksOnce) {
    FakeProgram program;
    EXPECT_TRUE(OfferDefaultRegion(program.run));
    EXPECT_EQ(program.confirm.asked, 1);
    EXPECT_EQ(program.confirm.title, u"错误提示");
    EXPECT_EQ(program.confirm.text,
              u"未能定位到您的所在地！ Error：1801\r\n是否尝试为您加载[广东 今日油价]？");
    EXPECT_EQ(program.window.values.provinceName, u"广东");
    EXPECT_EQ(program.window.values.provinceSlug, u"guangdong");
    EXPECT_TRUE(program.window.values.citySlug.empty());
    EXPECT_FALSE(program.window.visible(Control::NetError));
}

}  // namespace
}  // namespace brevane
