// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the program shows or searches for, each in this one place, exact to the
// code unit. U+3000 (ideographic space) is written as \u3000 so it can be seen.
#pragma once

#include <string_view>

namespace brevane::texts {

// --- Window at creation ---------------------------------------------------------
inline constexpr std::u16string_view kSponsorCaption = u"赞助";
inline constexpr std::u16string_view kSponsorToolTip = u"点击此处赞助本软件";
inline constexpr std::u16string_view kDesignTimeDate = u"[2018-11-30] 星期五";
inline constexpr std::u16string_view kCreditLine = u"Brevane Team";
inline constexpr std::u16string_view kNoticePanelCaption = u"油价调价信息面板";
inline constexpr std::u16string_view kSponsorBrackets = u"[\u3000\u3000]";
inline constexpr std::u16string_view kColumnOneToolTip = u"单价(I)";
inline constexpr std::u16string_view kColumnTwoToolTip = u"单价(II)";
inline constexpr std::u16string_view kNoCityPricesToolTip = u"暂无II级油价信息";
inline constexpr std::u16string_view kDashColumn = u"-- -- -- -- -- -- --";
inline constexpr std::u16string_view kUnitRow = u"元/升 元/升 元/升 元/升 元/升";
inline constexpr std::u16string_view kTableHeader =
    u"标号\u3000\u3000燃油\u3000\u3000单价(I)\u3000 单价(II)     单位";
inline constexpr std::u16string_view kPricePanelCaption = u"油价显示面板";
inline constexpr std::u16string_view kFixed89Row =
    u"89#\u3000\u3000汽油\u3000\u3000   --\u3000\u3000";

// --- Run sequence and caption ---------------------------------------------------
inline constexpr std::u16string_view kVersionCaptionPrefix = u"Brevane v";
inline constexpr std::u16string_view kLocatingSuffix = u" [正在获取您的所在地...]";
inline constexpr std::u16string_view kPlaceCaptionOpen = u" [";
inline constexpr std::u16string_view kPlaceSeparator = u"-";
inline constexpr std::u16string_view kPlaceCaptionClose = u" 今日油价]";
/// Reference-only note; the first text of the notice label and its text without a notice.
inline constexpr std::u16string_view kDisclaimer =
    u"油价数据仅供参考，实际在售油价可能有小幅偏差\r\n请以您所在地区的加油站实际售价为准";
inline constexpr std::u16string_view kLoadingText = u"油价信息加载中，请稍等...";
inline constexpr std::u16string_view kCrLf = u"\r\n";

// --- Location -------------------------------------------------------------------
inline constexpr std::u16string_view kSource1Marker = u"所在地理位置：";
inline constexpr std::u16string_view kSource2Marker = u"来自";
inline constexpr std::u16string_view kSource3Marker = u"纯真IP库数据";
inline constexpr std::u16string_view kErrorBoxTitle = u"错误提示";
inline constexpr std::u16string_view kNoLocationMessage = u"未能定位到您的所在地！ Error：";
inline constexpr std::u16string_view kOfferDefaultRegion = u"是否尝试为您加载[广东 今日油价]？";
inline constexpr std::u16string_view kErrorPanelFirstLine = u"错误提示：";
inline constexpr std::u16string_view kErrorPanelLastLine = u"如错误已排除，请重启本程序。";
inline constexpr std::u16string_view kErrorNoLocation = u"01";
inline constexpr std::u16string_view kErrorNoPrices = u"02";

// --- Price panels ---------------------------------------------------------------
/// A panel caption counts as loaded when it contains this.
inline constexpr std::u16string_view kLoadedMark = u"92";
inline constexpr std::u16string_view kSiteASourceOpen = u"（数据来源自";
inline constexpr std::u16string_view kSiteASourceClose = u"） \r\n";
inline constexpr std::u16string_view kSiteBMarker = u"(元/升) \r\n";
/// Added in front of the catalogue by the site B cutter.
inline constexpr std::u16string_view kSiteBUnit = u"元/升";
inline constexpr std::u16string_view kGradeSign = u"#";
inline constexpr std::u16string_view kGradeSignSpaced = u"#\u3000\u3000";
inline constexpr std::u16string_view kMark95 = u"95#";
inline constexpr std::u16string_view kMark98 = u"98#";
inline constexpr std::u16string_view kMark0 = u"0#";
inline constexpr std::u16string_view kDieselLineStart = u"   0#";
inline constexpr std::u16string_view kPriceWord1 = u"价";
inline constexpr std::u16string_view kPriceWord2 = u"格";
inline constexpr std::u16string_view kSiteAPriceWordFill = u"\u3000";
inline constexpr std::u16string_view kSiteBPriceWordFill = u"    ";
inline constexpr std::u16string_view kFuelWordEnd = u"油";
inline constexpr std::u16string_view kFuelWordEndSpaced = u"油\u3000\u3000";
inline constexpr std::u16string_view kFixed98Row =
    u"98#\u3000\u3000汽油\u3000\u3000   --\u3000\u3000";
inline constexpr std::u16string_view kSiteAPageSuffix = u".shtml";
inline constexpr std::u16string_view kSiteBCityPageSuffix = u"shi.html";
inline constexpr std::u16string_view kPathSeparator = u"/";
inline constexpr std::u16string_view kShaanxiSlug = u"shanxi-3";
inline constexpr std::u16string_view kShaanxiSiteBSlug = u"sanxi";
inline constexpr std::u16string_view kDongguanSlug = u"dongguan";
inline constexpr std::u16string_view kDongguanSiteBSlug = u"dong";

// --- Price-adjustment notice ----------------------------------------------------
inline constexpr std::u16string_view kDieselEntry = u"0#柴油";
inline constexpr std::u16string_view kNoticeWord = u"油价";
inline constexpr std::u16string_view kFall = u"下跌";
inline constexpr std::u16string_view kRise = u"上涨";
inline constexpr std::u16string_view kFallEstimateOpen = u"下跌(约省";
inline constexpr std::u16string_view kRiseEstimateOpen = u"上涨(约贵";
inline constexpr std::u16string_view kEstimateClose = u"元/40L/箱)";
inline constexpr std::u16string_view kAmountOpen = u"(";

// --- Summary --------------------------------------------------------------------
inline constexpr std::u16string_view kUnitColumnText = u"元/升\r\n元/升\r\n元/升\r\n元/升\r\n元/升";
inline constexpr std::u16string_view kNoPricesMessage = u"数据获取失败，请检查网络！ Error：";
inline constexpr std::u16string_view kColumnToolTipSuffix = u"当前油价";
inline constexpr std::u16string_view kDateOpen = u"[";
inline constexpr std::u16string_view kDateClose = u"] ";
/// Weekday words, Sunday first; Sunday's carries a leading space.
inline constexpr std::u16string_view kWeekdays[7] = {
    u" 星期天", u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六",
};

}  // namespace brevane::texts
