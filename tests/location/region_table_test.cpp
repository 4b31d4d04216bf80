// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the region table, its match, and the region catalogue built from it.
#include <gtest/gtest.h>

#include "support/row_name.h"

#include <set>
#include <string>

#include "location/region_catalogue.h"
#include "location/region_table.h"

namespace brevane {
namespace {

TEST(RegionTable, HoldsEveryRowWithKeysThatPrefixTheirNames) {
    const auto table = RegionTable();
    ASSERT_EQ(table.size(), 31u);
    std::size_t cities = 0;
    std::size_t shortenedCityKeys = 0;
    std::set<std::u16string_view> provinceSlugs;
    std::vector<std::u16string_view> wholeThreeCharacterKeys;
    for (const ProvinceRow& province : table) {
        SCOPED_TRACE(std::string(province.slug.begin(), province.slug.end()));  // ASCII
        EXPECT_EQ(province.key.size(), 2u);
        EXPECT_TRUE(province.name.starts_with(province.key));
        EXPECT_TRUE(provinceSlugs.insert(province.slug).second);
        std::set<std::u16string_view> citySlugs;
        for (const CityRow& city : province.cities) {
            SCOPED_TRACE(std::string(city.slug.begin(), city.slug.end()));
            ++cities;
            EXPECT_TRUE(city.name.starts_with(city.key));
            EXPECT_TRUE(citySlugs.insert(city.slug).second);
            shortenedCityKeys += city.key.size() < city.name.size();
            if (city.key.size() == 3) {
                wholeThreeCharacterKeys.push_back(city.key);
            }
        }
    }
    // The cities of the 27 provinces that are not municipalities (those list none).
    EXPECT_EQ(cities, 333u);
    // Names of three or more characters keyed by their first two; the four below are whole.
    EXPECT_EQ(shortenedCityKeys, 43u);
    EXPECT_EQ(wholeThreeCharacterKeys,
              (std::vector<std::u16string_view>{u"秦皇岛", u"吉林市", u"哈尔滨", u"阿勒泰"}));
    EXPECT_EQ(table[4].name, u"内蒙古");
    EXPECT_EQ(table[26].slug, u"shanxi-3");
    EXPECT_EQ(DefaultProvince().name, u"广东");
    EXPECT_EQ(DefaultProvince().slug, u"guangdong");
}

struct MatchCase {
    const char* name;
    std::u16string fragment;
    bool found;
    Region region;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.name;
}

class MatchRegionTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchRegionTest, ResolvesTheFragment) {
    const MatchCase& c = GetParam();
    WindowValues values{
        .provinceName = u"p", .provinceSlug = u"ps", .cityName = u"c", .citySlug = u"cs"};
    ASSERT_EQ(MatchRegion(c.fragment, values), c.found);
    if (!c.found) {
        EXPECT_EQ(values.provinceName, u"p");  // nothing written
        EXPECT_EQ(values.citySlug, u"cs");
        return;
    }
    EXPECT_EQ(values.provinceName, c.region.provinceName);
    EXPECT_EQ(values.provinceSlug, c.region.provinceSlug);
    EXPECT_EQ(values.cityName, c.region.cityName);
    EXPECT_EQ(values.citySlug, c.region.citySlug);
}

INSTANTIATE_TEST_SUITE_P(
    Fragments, MatchRegionTest,
    ::testing::Values(
        MatchCase{
            "Typical", u"广东省深圳市 电信", true, {u"广东", u"guangdong", u"深圳", u"shenzhen"}},
        MatchCase{"Empty", u"", false, {}}, MatchCase{"CityWithoutProvince", u"深圳", false, {}},
        MatchCase{"EarlierProvinceWins", u"陕西省山西省", true, {u"山西", u"shanxi", u"", u""}},
        MatchCase{"GuangdongBeforeGuangxi", u"广西广东", true, {u"广东", u"guangdong", u"", u""}},
        MatchCase{
            "EarlierCityWins", u"江苏无锡南京", true, {u"江苏", u"jiangsu", u"南京", u"nanjing"}},
        MatchCase{
            "MunicipalityIgnoresCityKeys", u"北京市朝阳区", true, {u"北京", u"beijing", u"", u""}},
        MatchCase{"JilinCity", u"吉林省吉林市", true, {u"吉林", u"jilin", u"吉林市", u"jilinshi"}},
        MatchCase{"JilinProvinceOnly", u"吉林省", true, {u"吉林", u"jilin", u"", u""}},
        MatchCase{"ShortKeyGivesFullName",
                  u"内蒙古包头",
                  true,
                  {u"内蒙古", u"neimenggu", u"包头", u"baotou"}},
        MatchCase{"ZhangjiakouUnderHebei",
                  u"河北张家口",
                  true,
                  {u"河北", u"hebei", u"张家口", u"zhangjiakou"}},
        MatchCase{"ZhangjiajieUnderHunan",
                  u"湖南张家界",
                  true,
                  {u"湖南", u"hunan", u"张家界", u"zhangjiajie"}},
        MatchCase{"KeyInsideProviderName",
                  u"福建省 厦门电信",
                  true,
                  {u"福建", u"fujian", u"厦门", u"xiamen"}},
        MatchCase{"SharedCitySlug", u"安徽宿州", true, {u"安徽", u"anhui", u"宿州", u"suzhou"}},
        MatchCase{"ShaanxiSlug", u"陕西西安", true, {u"陕西", u"shanxi-3", u"西安", u"xian"}},
        MatchCase{
            "HainanProvince", u"海南省海口市", true, {u"海南", u"hainan", u"海口", u"haikou"}},
        MatchCase{"QinghaiPrefectureHainan",
                  u"青海省海南州",
                  true,
                  {u"青海", u"qinghai", u"海南州", u"hailanzhou"}},
        MatchCase{"FullWidthLettersDoNotMatch", u"ＧＤ", false, {}}),
    testing::RowName());

TEST(RegionCatalogue, IsTheFixedTextOfEveryName) {
    const std::u16string& catalogue = RegionCatalogueText();
    // 791 characters of the 364 names, 30 commas between the provinces, one after each city.
    EXPECT_EQ(catalogue.size(), 1154u);
    EXPECT_TRUE(catalogue.starts_with(u"北京,天津,河北,"));
    EXPECT_TRUE(catalogue.ends_with(u"娄底,湘西,"));
    EXPECT_NE(catalogue.find(u"宁夏,新疆南京,无锡,"), std::u16string::npos);
    EXPECT_NE(catalogue.find(u",海口,三亚,成都,"), std::u16string::npos);
    const std::set<char16_t> distinct(catalogue.begin(), catalogue.end());
    // The characters the price cutters delete from an excerpt: 378 in the names, and the comma.
    EXPECT_EQ(distinct.size(), 379u);
    for (char16_t kept : std::u16string_view(u"0123456789.#/- aZ升")) {
        SCOPED_TRACE(static_cast<int>(kept));
        EXPECT_FALSE(distinct.contains(kept));
    }
    for (char16_t deleted : std::u16string_view(u"元市上日中,")) {
        SCOPED_TRACE(static_cast<int>(deleted));
        EXPECT_TRUE(distinct.contains(deleted));
    }

    WindowValues values;
    BuildRegionCatalogue(values);
    EXPECT_EQ(values.regionCatalogue, catalogue);
}

}  // namespace
}  // namespace brevane
