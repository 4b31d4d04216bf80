// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The sample page set and the location pages built from their templates.
#include "standin/sample_sites.h"

#include <stdexcept>
#include <string>

#include "standin/embedded_pages.h"

namespace brevane::standin {

namespace {

constexpr std::string_view kUtf8 = "text/html; charset=utf-8";
constexpr std::string_view kPlaceHolder = "{{PLACE}}";

// Two pages are GBK: site B's Guangdong page says so in its header only, site A's
// Shenzhen page in its meta element only; the browser must honour either. Site B's
// Shenzhen page sets its prices in a table, the others line by line.
constexpr SamplePage kSamplePages[] = {
    {Site::SiteA, "/guangdong.shtml", "site_a/guangdong.shtml", kUtf8},
    {Site::SiteA, "/guangdong/shenzhen.shtml", "site_a/guangdong/shenzhen.gbk.shtml", "text/html"},
    {Site::SiteA, "/guangdong/dongguan.shtml", "site_a/guangdong/dongguan.shtml", kUtf8},
    {Site::SiteA, "/beijing.shtml", "site_a/beijing.shtml", kUtf8},
    {Site::SiteA, "/shanxi-3.shtml", "site_a/shanxi-3.shtml", kUtf8},
    {Site::SiteA, "/shanxi-3/xian.shtml", "site_a/shanxi-3/xian.shtml", kUtf8},
    {Site::SiteB, "/guangdong/", "site_b/guangdong/index.gbk.html", "text/html; charset=gbk"},
    {Site::SiteB, "/guangdong/shenzhenshi.html", "site_b/guangdong/shenzhenshi.html", kUtf8},
    {Site::SiteB, "/guangdong/dongshi.html", "site_b/guangdong/dongshi.html", kUtf8},
    {Site::SiteB, "/beijing/", "site_b/beijing/index.html", kUtf8},
    {Site::SiteB, "/sanxi/", "site_b/sanxi/index.html", kUtf8},
    {Site::SiteB, "/shanxi-3/xianshi.html", "site_b/shanxi-3/xianshi.html", kUtf8},
    {Site::Sponsor, "/dashang.html", "sponsor/dashang.html", kUtf8},
};

struct LocationTemplate {
    std::string_view path;
    std::string_view file;
};

LocationTemplate TemplateOf(Site source) {
    switch (source) {
        case Site::Location1:
            return {"/", "location/source1.html"};
        case Site::Location2:
            return {"/", "location/source2.html"};
        case Site::Location3:
            return {"/ip.html", "location/source3.html"};
        default:
            throw std::invalid_argument("not a location source: " + std::string(SiteName(source)));
    }
}

}  // namespace

std::span<const SamplePage> SamplePages() {
    return kSamplePages;
}

std::string_view SamplePageFile(std::string_view name) {
    for (const auto& page : detail::EmbeddedPages()) {
        if (page.name == name) {
            return page.bytes;
        }
    }
    throw std::out_of_range("no stand-in page file " + std::string(name));
}

void ServeSamplePriceSites(StandinSites& sites) {
    for (const auto& page : kSamplePages) {
        sites.serve(page.site, std::string(page.path),
                    Page{std::string(SamplePageFile(page.file)), std::string(page.contentType)});
    }
}

void ServeLocation(StandinSites& sites, Site source, std::string_view place) {
    const LocationTemplate location = TemplateOf(source);
    std::string body(SamplePageFile(location.file));
    body.replace(body.find(kPlaceHolder), kPlaceHolder.size(), place);
    sites.serve(source, std::string(location.path), Page{std::move(body)});
}

void ServeSampleRun(StandinSites& sites) {
    ServeSamplePriceSites(sites);
    ServeLocation(sites, Site::Location1, places::kShenzhen);
}

}  // namespace brevane::standin
