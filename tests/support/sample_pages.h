// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Page texts shaped like the real location and price pages, for the core's tests.
#pragma once

#include <string>
#include <string_view>

namespace brevane::testing {

/// Location source 1 naming `place` after its marker.
inline std::u16string LocationPage(std::u16string_view place) {
    return u"您的IP地址：203.0.113.9\r\n所在地理位置：" + std::u16string(place) + u" 电信\r\n";
}

/// Site A page for `place`: the source line, the four grades, then the notice on a
/// line of its own.
inline std::u16string SiteAPage(std::u16string_view place, std::u16string_view p92 = u"7.12",
                                std::u16string_view notice = u"油价下跌(0.13元/升)") {
    return u"首页 > 今日油价 > 全国各省市汽油柴油价格查询 > 油价走势 > 加油站地图 > 油价资讯 > "
           u"调价窗口\r\n（数据来源自" +
           std::u16string(place) + u"） \r\n92#汽油 " + std::u16string(p92) +
           u" 95#汽油 7.58 98#汽油 8.60 0#柴油 6.83\r\n\r\n" + std::u16string(notice) +
           u"\r\n油价走势";
}

/// Site B page: one grade a line after "(元/升) ".
inline std::u16string SiteBPage(std::u16string_view p92 = u"7.10") {
    return u"今日油价 单位(元/升) \r\n89#汽油价格 6.68\r\n92#汽油价格 " + std::u16string(p92) +
           u"\r\n95#汽油价格 7.56\r\n0#柴油价格 6.80\r\n更新时间";
}

/// The four lines of site A's sample grades.
inline constexpr std::u16string_view kSiteALines =
    u"92#\u3000\u3000汽油\u3000\u3000 7.12 \r\n"
    u"95#\u3000\u3000汽油\u3000\u3000 7.58 \r\n"
    u"98#\u3000\u3000汽油\u3000\u3000 8.60 \r\n"
    u"   0#\u3000\u3000柴油\u3000\u3000 6.83";
/// The panel text site A's sample page gives: its 60-character excerpt runs on past the
/// grades into the notice, below the four rows.
inline const std::u16string kSiteAPanel =
    std::u16string(kSiteALines) + u"\r\n\r\n油\u3000\u3000\u3000下跌(0.13/升)\r";

}  // namespace brevane::testing
