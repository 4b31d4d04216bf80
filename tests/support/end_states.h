// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// How a whole run against the stand-in sites leaves the window, per scenario: the one
// table that the Qt program's and the Windows program's end-to-end tests both check.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"
#include "core/text.h"
#include "support/version_caption.h"

namespace brevane::testing {

/// What the stand-in sites serve besides the sample price pages, by name.
namespace sites {
inline constexpr std::string_view kShenzhen = "shenzhen";  ///< source 1 names Shenzhen
/// Source 1 has no page, source 2 resets the connection, source 3 answers empty.
inline constexpr std::string_view kNoLocation = "no-location";
/// Shenzhen, and both sites' province pages and site A's city page fail; site B's city
/// page comes only after 1.5 s.
inline constexpr std::string_view kPricesDown = "prices-down";
inline constexpr std::string_view kCityPageHangs = "city-page-hangs";  ///< Shenzhen, site A's
inline constexpr std::string_view kSiteBHangs = "site-b-hangs";  ///< Shenzhen, site B's province
}  // namespace sites

enum class CaptionCheck {
    None,
    Exact,
    /// Each line of the expected caption starts the same line of the label's; the
    /// label may have more lines.
    LinesStartWith,
};

/// A control as the window shows it at the end of the run.
struct ExpectedControl {
    Control id;
    bool shown;  ///< the control's own visibility, not its frame's
    std::u16string_view caption = {};
    CaptionCheck check = caption.empty() ? CaptionCheck::None : CaptionCheck::Exact;
};

/// The OK/Cancel box of a run that finds no place.
struct ExpectedBox {
    std::u16string_view title;
    std::u16string_view textStart;
    std::u16string_view textEnd;
    std::u16string_view placeCaptionMeanwhile;  ///< after the version caption
};

inline constexpr ExpectedBox kNoLocationBox{u"错误提示", u"未能定位到您的所在地！ Error：1801",
                                            u"是否尝试为您加载[广东 今日油价]？",
                                            u" [正在获取您的所在地...]"};

struct EndState {
    std::string_view name;
    std::string_view sites;
    /// The box asks, and is answered OK (true) or Cancel.
    std::optional<bool> answerOk;
    std::u16string_view placeCaption;  ///< after the version caption
    std::vector<ExpectedControl> controls;

    std::u16string windowCaption() const { return kVersionCaption + std::u16string(placeCaption); }
};

inline constexpr std::u16string_view kNotice = u"油价下跌(约省5.2元/40L/箱)(0.13元/升) ";
inline constexpr std::u16string_view kDisclaimer =
    u"油价数据仅供参考，实际在售油价可能有小幅偏差\r\n请以您所在地区的加油站实际售价为准";
inline constexpr std::u16string_view kDesignTimeDate = u"[2018-11-30] 星期五";

/// What every run that found prices shows.
inline const std::vector<ExpectedControl> kPriceTable = {
    {Control::Label1, true, u"元/升\r\n元/升\r\n元/升\r\n元/升\r\n元/升"},
    {Control::Label3, true},
    {Control::Lab_Replace, true},
    {Control::NetError, false},
    {Control::Lab_Error89, true},
};

inline std::vector<ExpectedControl> Joined(std::vector<ExpectedControl> first,
                                           const std::vector<ExpectedControl>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

inline constexpr std::u16string_view kPlaceShenzhen = u" [广东-深圳 今日油价]";
/// Site A's Guangdong page as its panel shows it, each row's start.
inline constexpr std::u16string_view kSiteAProvinceRows =
    u"92#\u3000\u3000汽油\u3000\u3000 7.12 \r\n95#\u3000\u3000汽油\u3000\u3000 7.58 "
    u"\r\n98#\u3000\u3000汽油\u3000\u3000 8.60 \r\n   0#\u3000\u3000柴油\u3000\u3000 6.83";

/// Shenzhen at source 1: both sites' province and city columns, and the notice.
inline const EndState kShenzhenRun{
    "shenzhen", sites::kShenzhen, std::nullopt, kPlaceShenzhen,
    Joined(kPriceTable,
           {
               {Control::Lab_Replace, true, kNotice},
               {Control::Lab_QiYouJiaGe, true, kSiteAProvinceRows, CaptionCheck::LinesStartWith},
               {Control::Fr_QiYouJiaGe_2, true},
               {Control::Lab_QiYouJiaGe_2, true,
                u"92#\u3000\u3000汽油\u3000\u3000 7.15 \r\n95#\u3000\u3000汽油\u3000\u3000 7.61 "
                u"\r\n98#\u3000\u3000汽油\u3000\u3000 8.63 \r\n   0#\u3000\u3000柴油\u3000\u3000 "
                u"6.86",
                CaptionCheck::LinesStartWith},
               {Control::Lab_YouJia, true,
                u"89#\u3000\u3000汽油         6.65\r\n92#\u3000\u3000汽油         7.12\r\n"
                u"95#\u3000\u3000汽油         7.58\r\n98#\u3000\u3000汽油\u3000\u3000   "
                u"--\u3000\u3000\r\n   0#\u3000\u3000柴油         6.83",
                CaptionCheck::LinesStartWith},
               {Control::Lab_YouJia_2, true,
                u"89#\u3000\u3000汽油         6.68 \r\n92#\u3000\u3000汽油         7.15 \r\n"
                u"95#\u3000\u3000汽油         7.61 \r\n98#\u3000\u3000汽油\u3000\u3000   "
                u"--\u3000\u3000\r\n   0#\u3000\u3000柴油         6.86 ",
                CaptionCheck::LinesStartWith},
               {Control::Lab_DanJia_1, true},
               {Control::Lab_DanJia_2, true},
           })};

/// No place found, and Cancel: error 01 and nothing of a price table.
inline const EndState kNoLocationCancelled{
    "no-location-cancel",
    sites::kNoLocation,
    false,
    u"",
    {
        {Control::NetError, true,
         u"错误提示：\r\n未能定位到您的所在地！ Error：1801\r\n如错误已排除，请重启本程序。"},
        {Control::Label1, false},
        {Control::Label3, false},
        {Control::Lab_YouJia, false},
        {Control::Lab_QiYouJiaGe, false},
        {Control::Lab_DanJia_1, false},
        {Control::Lab_DanJia_2, false},
        {Control::Fr_QiYouJiaGe_2, false},
        {Control::Lab_Error89, false},
        {Control::Lab_Replace, true, kDisclaimer},
        {Control::Label_Time, true, kDesignTimeDate},
    }};

/// No place found, and OK: Guangdong's province pages, no city column.
inline const EndState kNoLocationGuangdong{
    "no-location-ok", sites::kNoLocation, true, u" [广东 今日油价]",
    Joined(kPriceTable, {
                            {Control::Fr_QiYouJiaGe_2, false},
                            {Control::Lab_Replace, true, kNotice},
                        })};

/// Shenzhen, and no price page gives prices: error 02 over the empty table.
inline const EndState kPricesDown{
    "prices-down",
    sites::kPricesDown,
    std::nullopt,
    kPlaceShenzhen,
    {
        {Control::NetError, true,
         u"错误提示：\r\n数据获取失败，请检查网络！ Error：1802\r\n如错误已排除，请重启本程序。"},
        {Control::Lab_QiYouJiaGe, false},
        {Control::Lab_YouJia, false},
        {Control::Fr_QiYouJiaGe_2, false},
        {Control::Label1, false},
        // The tooltip columns come back over the empty table.
        {Control::Lab_DanJia_1, true},
        {Control::Lab_DanJia_2, true},
        {Control::Lab_Replace, true, kDisclaimer},
    }};

/// Shenzhen, and site A's city page never comes (its time limit passes, or its page
/// helper is killed while it waits): that one panel stays hidden, the province panel
/// written before stays, and site B fills column II.
inline const EndState kCityPageLost{
    "city-page-lost", sites::kCityPageHangs, std::nullopt, kPlaceShenzhen,
    Joined(kPriceTable,
           {
               {Control::Lab_QiYouJiaGe, true, kSiteAProvinceRows, CaptionCheck::LinesStartWith},
               {Control::Fr_QiYouJiaGe_2, true},
               {Control::Lab_QiYouJiaGe_2, false},
               {Control::Lab_YouJia_2, true},
           })};

/// Empty when `caption` and `shown` are what `expected` says; else what differs.
inline std::string ControlMismatch(const ExpectedControl& expected, std::u16string_view caption,
                                   bool shown) {
    std::string mismatch;
    const std::string name(SpecOf(expected.id).name);
    if (shown != expected.shown) {
        mismatch = name + (shown ? " shown" : " hidden");
    }
    bool same = true;
    if (expected.check == CaptionCheck::Exact) {
        same = caption == expected.caption;
    } else if (expected.check == CaptionCheck::LinesStartWith) {
        const std::vector<std::u16string> want = text::Split(expected.caption, u"\r\n");
        const std::vector<std::u16string> seen = text::Split(caption, u"\r\n");
        same = seen.size() >= want.size();
        for (std::size_t i = 0; same && i < want.size(); ++i) {
            same = seen[i].starts_with(want[i]);
        }
    }
    if (!same) {
        mismatch += (mismatch.empty() ? "" : "; ") + name + " reads \"" + text::ToUtf8(caption) +
                    "\", not \"" + text::ToUtf8(expected.caption) + "\"";
    }
    return mismatch;
}

}  // namespace brevane::testing
