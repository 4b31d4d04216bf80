// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The sample pages as the program will read them: served where the set says, and
// carrying each source's marker in the body text the program's own rule gives.
#include "standin/sample_sites.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <iconv.h>

#include <stdexcept>
#include <string>

#include "pagetext/page_text.h"

namespace {

using namespace brevane::standin;

std::string GbkToUtf8(std::string_view gbk) {
    iconv_t converter = iconv_open("UTF-8", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("no GBK converter");
    }
    std::string in(gbk);
    std::string out(in.size() * 2 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) {
        throw std::runtime_error("not GBK");
    }
    out.resize(out.size() - outLeft);
    return out;
}

/// The body text of a sample file, decoded from the encoding it is stored in.
std::u16string TextOf(std::string_view file) {
    const std::string_view bytes = SamplePageFile(file);
    const bool gbk = file.find(".gbk.") != std::string_view::npos;
    return brevane::PageTextFromHtml(gbk ? GbkToUtf8(bytes) : std::string(bytes));
}

TEST(SampleSites, EveryPageIsServedAtItsPathWithItsContentType) {
    StandinSites sites;
    ServeSamplePriceSites(sites);
    for (const SamplePage& page : SamplePages()) {
        SCOPED_TRACE(std::string(page.path));
        httplib::Client client("127.0.0.1", sites.port(page.site));
        const auto response = client.Get(std::string(page.path));
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body, SamplePageFile(page.file));
        EXPECT_EQ(response->get_header_value("Content-Type"), page.contentType);
    }
}

TEST(SampleSites, GbkPagesDeclareTheirEncodingOnlyOneWayEach) {
    const std::string_view headerOnly = SamplePageFile("site_b/guangdong/index.gbk.html");
    const std::string_view metaOnly = SamplePageFile("site_a/guangdong/shenzhen.gbk.shtml");
    EXPECT_EQ(headerOnly.find("charset"), std::string_view::npos);
    EXPECT_NE(metaOnly.find("charset=gbk"), std::string_view::npos);
    for (const SamplePage& page : SamplePages()) {
        if (page.file == "site_a/guangdong/shenzhen.gbk.shtml") {
            EXPECT_EQ(page.contentType, "text/html");
        }
        if (page.file == "site_b/guangdong/index.gbk.html") {
            EXPECT_EQ(page.contentType, "text/html; charset=gbk");
        }
    }
}

struct MarkedPage {
    const char* file;
    std::u16string_view expected;  ///< marker and the start of the prices behind it
};

TEST(SampleSites, PricePagesCarryTheirSitesMarkerInTheBodyText) {
    const MarkedPage cases[] = {
        {"site_a/guangdong.shtml", u"（数据来源自广东） \r\n92#汽油 7.12 95#"},
        {"site_a/guangdong/shenzhen.gbk.shtml", u"（数据来源自深圳） \r\n92#汽油 7.15 95#"},
        {"site_a/beijing.shtml", u"（数据来源自北京） \r\n92#汽油 7.26 95#"},
        {"site_a/shanxi-3.shtml", u"（数据来源自陕西） \r\n92#汽油 7.05 95#"},
        {"site_a/shanxi-3/xian.shtml", u"（数据来源自西安） \r\n92#汽油 7.07 95#"},
        // Only its script writes the prices; without it the marker stands alone.
        {"site_a/guangdong/dongguan.shtml", u"（数据来源自东莞） \r\n正在读取"},
        {"site_b/guangdong/index.gbk.html", u"(元/升) \r\n89#汽油价格 6.65\r\n92#"},
        // A table: every cell ends in a space, the header row in the marker.
        {"site_b/guangdong/shenzhenshi.html", u"(元/升) \r\n89#汽油价格 6.68 \r\n92#"},
        {"site_b/guangdong/dongshi.html", u"(元/升) \r\n89#汽油价格 6.67\r\n92#"},
        {"site_b/beijing/index.html", u"(元/升) \r\n89#汽油价格 6.81\r\n92#"},
        {"site_b/sanxi/index.html", u"(元/升) \r\n89#汽油价格 6.58\r\n92#"},
        {"site_b/shanxi-3/xianshi.html", u"(元/升) \r\n89#汽油价格 6.60\r\n92#"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_NE(TextOf(c.file).find(c.expected), std::u16string::npos);
    }
}

TEST(SampleSites, ProvincePagesCarryTheNoticeBehindTheDieselEntry) {
    EXPECT_NE(TextOf("site_a/guangdong.shtml").find(u"0#柴油 6.83\r\n\r\n油价下跌(0.13元/升) 油价"),
              std::u16string::npos);
    EXPECT_NE(TextOf("site_a/shanxi-3.shtml").find(u"0#柴油 6.72\r\n\r\n油价上涨(0.15元/升) 油价"),
              std::u16string::npos);
    // No notice on the Beijing page: no "油价" within reach of its diesel entry.
    const std::u16string beijing = TextOf("site_a/beijing.shtml");
    const std::size_t diesel = beijing.find(u"0#柴油");
    ASSERT_NE(diesel, std::u16string::npos);
    EXPECT_EQ(beijing.substr(diesel + 4, 80).find(u"油价"), std::u16string::npos);
}

struct LocationCase {
    Site source;
    std::u16string_view marker;
    std::size_t skip;  ///< characters between the marker's end and the place
};

TEST(SampleSites, LocationPagesNameThePlaceWhereTheirSourceDoes) {
    const LocationCase cases[] = {
        {Site::Location1, u"所在地理位置：", 0},
        {Site::Location2, u"来自", 1},  // "来自：" and then the place
        {Site::Location3, u"纯真IP库数据", 80},
    };
    StandinSites sites;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(SiteName(c.source)));
        ServeLocation(sites, c.source, places::kXian);
        httplib::Client client("127.0.0.1", sites.port(c.source));
        const auto response = client.Get(c.source == Site::Location3 ? "/ip.html" : "/");
        ASSERT_TRUE(response);
        ASSERT_EQ(response->status, 200);

        const std::u16string text = brevane::PageTextFromHtml(response->body);
        const std::size_t marker = text.find(c.marker);
        ASSERT_NE(marker, std::u16string::npos);
        EXPECT_EQ(text.substr(marker + c.marker.size() + c.skip, 6), u"陕西省西安市");
    }
}

}  // namespace
