// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of site A's panel cutting and its province and city loaders.
#include "prices/site_a.h"

#include <gtest/gtest.h>

#include "location/region_catalogue.h"
#include "shenzhen_found.h"
#include "support/fake_ports.h"
#include "support/row_name.h"
#include "support/sample_pages.h"

namespace brevane {
namespace {

using namespace testing;

const std::u16string kGrades = u"92#汽油价格7.12 95#汽油价格7.58 98#汽油价格8.60 0#柴油价格6.83";
const std::u16string kMarker = u"（数据来源自广东） \r\n";
// "价格" before a price becomes two more ideographic spaces.
const std::u16string kWorkedLines =
    u"92#\u3000\u3000汽油\u3000\u3000\u3000\u30007.12 "
    u"\r\n95#\u3000\u3000汽油\u3000\u3000\u3000\u30007.58 "
    u"\r\n98#\u3000\u3000汽油\u3000\u3000\u3000\u30008.60 \r\n   "
    u"0#\u3000\u3000柴油\u3000\u3000\u3000\u30006.83";

struct CutCase {
    const char* name;
    std::u16string page;
    std::optional<std::u16string> panel;
};
void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class CutSiteAPanelTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutSiteAPanelTest, ComposesFourLines) {
    EXPECT_EQ(CutSiteAPanel(GetParam().page, u"广东", RegionCatalogueText()), GetParam().panel);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CutSiteAPanelTest,
    ::testing::Values(
        CutCase{"WorkedExample", u"导航" + kMarker + kGrades, kWorkedLines},
        CutCase{"ExcerptIsSixtyCharacters", kMarker + kGrades + u" 油价下跌(0.13元/升) 更多更多",
                kWorkedLines + u" 油\u3000\u3000\u3000下跌(0.13/升)"},
        CutCase{"PlaceNamesCommasAndYuanDeleted",
                kMarker + u"广东92#汽油价格7.12元, 95#价7.5 98#价8.6 0#价6.8",
                u"92#\u3000\u3000汽油\u3000\u3000\u3000\u30007.12 \r\n95#\u3000\u3000\u30007.5 "
                u"\r\n98#\u3000\u3000\u30008.6 \r\n   0#\u3000\u3000\u30006.8"},
        CutCase{"MarkerAbsentStartsAtItsLength", u"01234567890" + kGrades, kWorkedLines},
        CutCase{"MarkerAbsentAndGradesOutOfReach", std::u16string(72, u'x') + kGrades,
                std::nullopt},
        CutCase{"MarkerAtTheVeryEnd", u"页面" + kMarker, std::nullopt},
        CutCase{"EmptyPage", u"", std::nullopt},
        CutCase{"No98", kMarker + u"92#7.1 95#7.5 0#6.8", std::nullopt},
        CutCase{
            "SecondOccurrenceDropped", kMarker + u"92#a 95#b 98#c 0#d 95#e",
            u"92#\u3000\u3000a \r\n95#\u3000\u3000b \r\n98#\u3000\u3000c \r\n   0#\u3000\u3000d "},
        CutCase{"OtherPlaceMarkerDoesNotMatch",
                u"（数据来源自广州） \r\n" + std::u16string(60, u'x') + kGrades, std::nullopt}),
    testing::RowName());

TEST(LoadQiYouJiaGe, RequestsTheProvincePageAndKeepsItsPanel) {
    FakeProgram program;
    program.window.values = testing::ShenzhenFound();
    program.pages.Serve(u"http://a.test/guangdong.shtml", SiteAPage(u"广东"));
    Load_QiYouJiaGe(program.run);
    EXPECT_EQ(program.pages.addresses(),
              std::vector<std::u16string>{u"http://a.test/guangdong.shtml"});
    EXPECT_EQ(program.window.caption(Control::Lab_QiYouJiaGe), kSiteAPanel);
    EXPECT_TRUE(program.window.visible(Control::Lab_QiYouJiaGe));
}

TEST(LoadQiYouJiaGe, HidesThePanelWhenNothingCanBeCut) {
    FakeProgram program;
    program.window.values = {.provinceName = u"广东",
                             .provinceSlug = u"guangdong",
                             .regionCatalogue = RegionCatalogueText(),
                             .lookupStage = 1};
    Load_QiYouJiaGe(program.run);
    EXPECT_EQ(program.window.caption(Control::Lab_QiYouJiaGe), u"");
    EXPECT_FALSE(program.window.visible(Control::Lab_QiYouJiaGe));
}

TEST(LoadQiYouJiaGe, NinetyTwoInsideAPriceCountsAsLoaded) {
    FakeProgram program;
    program.window.values = {.provinceName = u"广东",
                             .provinceSlug = u"guangdong",
                             .regionCatalogue = RegionCatalogueText(),
                             .lookupStage = 1};
    program.pages.Serve(u"http://a.test/guangdong.shtml",
                        kMarker + u"89#6.92 95#7.58 98#8.60 0#6.83");
    Load_QiYouJiaGe(program.run);
    EXPECT_TRUE(program.window.visible(Control::Lab_QiYouJiaGe));
}

TEST(LoadQiYouJiaGe2, NoCityHidesColumnTwoWithoutARequest) {
    FakeProgram program;
    program.window.values = {.provinceName = u"北京",
                             .provinceSlug = u"beijing",
                             .regionCatalogue = RegionCatalogueText(),
                             .lookupStage = 1};
    Load_QiYouJiaGe_2(program.run);
    EXPECT_TRUE(program.pages.requests().empty());
    EXPECT_FALSE(program.window.visible(Control::Fr_QiYouJiaGe_2));
    EXPECT_FALSE(program.window.visible(Control::Lab_QiYouJiaGe_2));
    EXPECT_EQ(program.window.caption(Control::Lab_QiYouJiaGe_2), u"油价显示面板");
}

TEST(LoadQiYouJiaGe2, CutsTheCityPageByTheCityName) {
    FakeProgram program;
    program.window.values = testing::ShenzhenFound();
    program.pages.Serve(u"http://a.test/guangdong/shenzhen.shtml", SiteAPage(u"深圳", u"7.15"));
    Load_QiYouJiaGe_2(program.run);
    EXPECT_EQ(program.pages.addresses(),
              std::vector<std::u16string>{u"http://a.test/guangdong/shenzhen.shtml"});
    EXPECT_TRUE(program.window.caption(Control::Lab_QiYouJiaGe_2)
                    .starts_with(u"92#\u3000\u3000汽油\u3000\u3000 7.15 \r\n"));
    EXPECT_TRUE(program.window.visible(Control::Fr_QiYouJiaGe_2));
}

TEST(LoadQiYouJiaGe2, CityPageNamingOnlyTheProvinceLeavesTheFrameShown) {
    FakeProgram program;
    program.window.values = testing::ShenzhenFound();
    program.pages.Serve(u"http://a.test/guangdong/shenzhen.shtml", SiteAPage(u"广东"));
    Load_QiYouJiaGe_2(program.run);
    EXPECT_FALSE(program.window.visible(Control::Lab_QiYouJiaGe_2));
    EXPECT_TRUE(program.window.visible(Control::Fr_QiYouJiaGe_2));
}

}  // namespace
}  // namespace brevane
