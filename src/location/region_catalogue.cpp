// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The region catalogue, derived from the region table.
#include "location/region_catalogue.h"

#include <algorithm>
#include <array>

#include "location/region_table.h"

namespace brevane {
namespace {

// Order of the city lists after the province list, by province slug. It is not the
// table order; the text is kept exactly as the program has always built it.
constexpr std::array<std::u16string_view, 27> kCityListOrder{
    u"jiangsu",      u"jiangxi", u"liaoning",  u"anhui",    u"neimenggu", u"fujian", u"ningxia",
    u"gansu",        u"qinghai", u"guangdong", u"shandong", u"guangxi",   u"shanxi", u"guizhou",
    u"shanxi-3",     u"hainan",  u"sichuan",   u"hebei",    u"xicang",    u"henan",  u"xinjiang",
    u"heilongjiang", u"jilin",   u"yunnan",    u"hubei",    u"zhejiang",  u"hunan",
};

constexpr char16_t kSeparator = u',';

std::u16string Build() {
    const auto table = RegionTable();
    std::u16string catalogue;
    for (const ProvinceRow& province : table) {
        if (!catalogue.empty()) {
            catalogue += kSeparator;
        }
        catalogue += province.name;
    }
    for (std::u16string_view slug : kCityListOrder) {
        const auto province = std::find_if(
            table.begin(), table.end(), [&](const ProvinceRow& row) { return row.slug == slug; });
        for (const CityRow& city : province->cities) {
            catalogue += city.name;
            catalogue += kSeparator;
        }
    }
    return catalogue;
}

}  // namespace

const std::u16string& RegionCatalogueText() {
    static const std::u16string catalogue = Build();
    return catalogue;
}

void BuildRegionCatalogue(WindowValues& values) {
    values.regionCatalogue = RegionCatalogueText();
}

}  // namespace brevane
