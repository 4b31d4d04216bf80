// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of site B's panel cutting and its province and city loaders.
#include "prices/site_b.h"

#include <gtest/gtest.h>

#include "location/region_catalogue.h"
#include "shenzhen_found.h"
#include "support/fake_ports.h"
#include "support/row_name.h"
#include "support/sample_pages.h"

namespace brevane {
namespace {

using namespace testing;

constexpr std::u16string_view kFixed98 = u"98#\u3000\u3000汽油\u3000\u3000   --\u3000\u3000";

TEST(CutSiteBPanel, PutsTheFixed98RowBeforeTheDieselRow) {
    const std::u16string expected =
        u"89#\u3000\u3000汽油         6.68\r\n92#\u3000\u3000汽油         7.10\r\n"
        u"95#\u3000\u3000汽油         7.56\r\n" +
        std::u16string(kFixed98) +
        u"\r\n   0#\u3000\u3000柴油         6.80\r\n更时间";  // 新 is in a place name
    EXPECT_EQ(CutSiteBPanel(SiteBPage(), RegionCatalogueText()), expected);
}

TEST(CutSiteBPanel, CutsSixtyEightCharactersAndDeletesUnitsAndPlaces) {
    const std::u16string page =
        u"(元/升) \r\n广东 92#7.10元/升 0#6.80元/升" + std::u16string(60, u'x');
    const auto panel = CutSiteBPanel(page, RegionCatalogueText());
    ASSERT_TRUE(panel);
    EXPECT_EQ(*panel, u" 92#\u3000\u30007.10 " + std::u16string(kFixed98) +
                          u"\r\n   0#\u3000\u30006.80" + std::u16string(68 - 23, u'x'));
}

TEST(CutSiteBPanel, DropsEverythingFromASecondDieselMark) {
    const auto panel = CutSiteBPanel(u"(元/升) \r\n92#a 0#b 0#c", u"");
    EXPECT_EQ(panel, u"92#\u3000\u3000a " + std::u16string(kFixed98) + u"\r\n   0#\u3000\u3000b ");
}

TEST(CutSiteBPanel, GivesNothingWithoutADieselMarkInReach) {
    EXPECT_EQ(CutSiteBPanel(u"", u""), std::nullopt);
    EXPECT_EQ(CutSiteBPanel(u"(元/升) \r\n", u""), std::nullopt);
    EXPECT_EQ(CutSiteBPanel(u"(元/升) \r\n" + std::u16string(68, u'x') + u"0#6.8", u""),
              std::nullopt);
    // Without the marker the excerpt starts at position 8.
    EXPECT_EQ(CutSiteBPanel(u"1234567" + std::u16string(68, u'x') + u"0#", u""), std::nullopt);
    EXPECT_TRUE(CutSiteBPanel(u"12345670#", u""));
}

TEST(LoadYouJia, ShowsTheErrorPanelOnlyWhenBothProvincePanelsFailed) {
    for (const bool siteAShown : {true, false}) {
        SCOPED_TRACE(siteAShown ? "site A's province panel shown"
                                : "site A's province panel hidden");
        FakeProgram program;
        program.window.values = {.provinceName = u"广东",
                                 .provinceSlug = u"guangdong",
                                 .regionCatalogue = RegionCatalogueText(),
                                 .lookupStage = 1};
        program.window.setVisible(Control::Lab_QiYouJiaGe, siteAShown);
        program.window.setCaption(Control::Lab_YouJia, u"油价信息加载中，请稍等...");
        Load_YouJia(program.run);
        EXPECT_FALSE(program.window.visible(Control::Lab_YouJia));
        EXPECT_EQ(program.window.caption(Control::Lab_YouJia), u"油价信息加载中，请稍等...");
        EXPECT_EQ(program.window.visible(Control::NetError), !siteAShown);
        EXPECT_EQ(program.window.caption(Control::NetError), u"错误提示：");
    }
}

TEST(LoadYouJia, APanelWithoutNinetyTwoIsSetAndHidden) {
    FakeProgram program;
    program.window.values = {.provinceName = u"广东",
                             .provinceSlug = u"guangdong",
                             .regionCatalogue = RegionCatalogueText(),
                             .lookupStage = 1};
    program.pages.Serve(u"http://b.test/guangdong/", u"(元/升) \r\n95#7.5 0#6.8");
    Load_YouJia(program.run);
    EXPECT_TRUE(program.window.caption(Control::Lab_YouJia).starts_with(u"95#"));
    EXPECT_FALSE(program.window.visible(Control::Lab_YouJia));
}

TEST(LoadYouJia2, CityPanelFailureLeavesTheErrorPanelAlone) {
    FakeProgram program;
    program.window.values = testing::ShenzhenFound();
    program.window.setVisible(Control::Lab_QiYouJiaGe, false);
    program.window.setVisible(Control::Lab_YouJia, false);
    Load_YouJia_2(program.run);
    EXPECT_FALSE(program.window.visible(Control::Lab_YouJia_2));
    EXPECT_EQ(program.window.caption(Control::Lab_YouJia_2), u"油价显示面板");
    EXPECT_FALSE(program.window.visible(Control::NetError));
}

}  // namespace
}  // namespace brevane
