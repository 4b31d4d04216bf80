// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The bundled sample pages: price pages of both sites for a few places, location
// pages that name any place, and the sponsor page.
#pragma once

#include <span>
#include <string_view>

#include "standin/standin_sites.h"

namespace brevane::standin {

/// Places as the location sources write them (UTF-8).
namespace places {
inline constexpr std::string_view kShenzhen = "广东省深圳市";
inline constexpr std::string_view kDongguan = "广东省东莞市";
inline constexpr std::string_view kXian = "陕西省西安市";
inline constexpr std::string_view kBeijing = "北京市";
}  // namespace places

struct SamplePage {
    Site site;
    std::string_view path;  ///< where the site serves it
    std::string_view file;  ///< below src/standin/sites
    std::string_view contentType;
};

/// The price pages and the sponsor page that ServeSamplePriceSites serves.
std::span<const SamplePage> SamplePages();

/// Serves every sample page: site A and site B pages for Guangdong (province,
/// Shenzhen, Dongguan), Beijing and Shaanxi (province, Xi'an), and the sponsor page.
void ServeSamplePriceSites(StandinSites& sites);

/// Serves the page of location source `source` (Location1, 2 or 3) at its usual path,
/// naming `place` (UTF-8) where that source names the visitor's place.
void ServeLocation(StandinSites& sites, Site source, std::string_view place);

/// The offline demo's set: every sample page, and location source 1 naming Shenzhen.
void ServeSampleRun(StandinSites& sites);

/// The bytes of a page file by its name below src/standin/sites. Throws
/// std::out_of_range for an unknown name.
std::string_view SamplePageFile(std::string_view name);

}  // namespace brevane::standin
