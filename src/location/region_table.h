// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed, ordered table of provinces and prefecture-level cities, and the match
// of a location fragment onto it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/window_model.h"

namespace brevane {

struct CityRow {
    std::u16string_view key;
    std::u16string_view name;
    std::u16string_view slug;
};

struct ProvinceRow {
    std::u16string_view key;
    std::u16string_view name;
    std::u16string_view slug;
    std::span<const CityRow> cities;
};

/// The 31 province rows in table order (first hit wins).
std::span<const ProvinceRow> RegionTable();

/// The row offered when no province is found: 广东.
const ProvinceRow& DefaultProvince();

struct Region {
    std::u16string provinceName;
    std::u16string provinceSlug;
    std::u16string cityName;  ///< empty when no city of the province is named
    std::u16string citySlug;
};

/// The province and city the fragment names, or nothing when it names no province.
std::optional<Region> FindRegion(std::u16string_view fragment);

/// Writes the four place values when the fragment names a province; returns whether
/// it did. Writes nothing otherwise.
bool MatchRegion(std::u16string_view fragment, WindowValues& values);

}  // namespace brevane
