// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Whole runs of the program against fake pages and a scripted OK/Cancel answer: which
// pages a run requests, in which order, and what the window shows at its end.
#include "run/run_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <new>
#include <set>
#include <stdexcept>

#include "location/region_table.h"
#include "support/fake_ports.h"
#include "support/row_name.h"
#include "support/sample_pages.h"
#include "support/version_caption.h"

namespace brevane {
namespace {

using namespace testing;
using Texts = std::vector<std::u16string>;
using Names = std::set<std::string_view>;

const std::u16string kLocating = kVersionCaption + u" [正在获取您的所在地...]";
const std::u16string kDisclaimer =
    u"油价数据仅供参考，实际在售油价可能有小幅偏差\r\n请以您所在地区的加油站实际售价为准";
const std::u16string kNotice = u"油价下跌(约省5.2元/40L/箱)(0.13元/升)\r\n";

/// Every page of a place on both price sites: site A's province and city pages, site B's
/// province page under `siteBProvince` and its city page under `siteBCity`.
std::map<std::u16string, std::u16string> PricePages(std::u16string_view province,
                                                    std::u16string_view city,
                                                    const std::u16string& provinceSlug,
                                                    const std::u16string& citySlug,
                                                    const std::u16string& siteBProvince,
                                                    const std::u16string& siteBCity) {
    return {
        {u"http://a.test/" + provinceSlug + u".shtml", SiteAPage(province)},
        {u"http://a.test/" + provinceSlug + u"/" + citySlug + u".shtml", SiteAPage(city, u"7.15")},
        {u"http://b.test/" + siteBProvince + u"/", SiteBPage()},
        {u"http://b.test/" + provinceSlug + u"/" + siteBCity + u"shi.html", SiteBPage(u"7.13")},
    };
}

struct Scenario {
    const char* name;
    std::u16string located;  ///< what location source 1 names; empty when no source does
    std::map<std::u16string, std::u16string> pages;
    bool acceptGuangdong;
    Texts requested;
    std::u16string caption;
    Names hidden;  ///< every label, frame and line the window hides at the end
    std::map<Control, std::u16string> captions;
    std::map<Control, std::u16string> toolTips;
};

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.name;
}

/// Names of the drawn controls (labels, frames, lines) that the model hides.
Names Hidden(const WindowModel& window) {
    Names names;
    for (const ControlSpec& spec : AllControls()) {
        const bool drawn = spec.kind != ControlKind::Timer && spec.kind != ControlKind::Browser;
        if (drawn && !window.visible(spec.id)) {
            names.insert(spec.name);
        }
    }
    return names;
}

class RunScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(RunScenario, RequestsThePagesInOrderAndEndsAsExpected) {
    const Scenario& s = GetParam();
    FakeProgram p;
    if (!s.located.empty()) {
        p.pages.Serve(u"https://loc1.test/", LocationPage(s.located));
    }
    for (const auto& [address, text] : s.pages) {
        p.pages.Serve(address, text);
    }
    p.confirm.answer = s.acceptGuangdong;
    std::u16string captionWhileAsked;
    p.confirm.whileOpen = [&] { captionWhileAsked = p.window.windowCaption(); };

    Form_Load(p.run);
    Tim_UpData_Timer(p.run);

    const WindowModel& w = p.window;
    EXPECT_FALSE(w.timerEnabled());
    EXPECT_EQ(p.pages.addresses(), s.requested);
    // Every price page is said ahead, and exactly those: the price loads, as a set.
    std::set<FakePages::Request> expected(p.pages.expected().begin(), p.pages.expected().end());
    std::set<FakePages::Request> priceLoads;
    for (const FakePages::Request& request : p.pages.requests()) {
        if (request.browser != Control::Web_IP) {
            priceLoads.insert(request);
        }
    }
    EXPECT_EQ(expected, priceLoads);
    EXPECT_EQ(expected.size(), p.pages.expected().size());
    EXPECT_EQ(w.windowCaption(), s.caption);
    EXPECT_EQ(Hidden(w), s.hidden);
    for (const auto& [control, caption] : s.captions) {
        EXPECT_EQ(w.caption(control), caption) << SpecOf(control).name;
    }
    for (const auto& [control, toolTip] : s.toolTips) {
        EXPECT_EQ(w.toolTip(control), toolTip) << SpecOf(control).name;
    }
    // The box is asked only when no province is found, under the locating caption.
    EXPECT_EQ(p.confirm.asked, s.located.empty() ? 1 : 0);
    if (p.confirm.asked > 0) {
        EXPECT_EQ(captionWhileAsked, kLocating);
    }
    // The slugs the run found are the ones it ends with, whatever site B calls them.
    if (!s.located.empty()) {
        if (const std::optional<Region> found = FindRegion(LocationPage(s.located))) {
            EXPECT_EQ(w.values.provinceSlug, found->provinceSlug);
            EXPECT_EQ(w.values.citySlug, found->citySlug);
        } else {
            ADD_FAILURE() << "the located place is in no region";
        }
    }
}

const Texts kNoPlace{u"https://loc1.test/", u"http://loc2.test/", u"https://loc3.test/ip.html"};

Texts Then(Texts first, std::initializer_list<std::u16string> more) {
    first.insert(first.end(), more);
    return first;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunScenario,
    ::testing::Values(
        Scenario{
            "GuangdongShenzhenFillsEveryPanel",
            u"广东省深圳市",
            PricePages(u"广东", u"深圳", u"guangdong", u"shenzhen", u"guangdong", u"shenzhen"),
            true,
            {u"https://loc1.test/", u"http://a.test/guangdong.shtml",
             u"http://a.test/guangdong/shenzhen.shtml", u"http://b.test/guangdong/",
             u"http://b.test/guangdong/shenzhenshi.html"},
            kVersionCaption + u" [广东-深圳 今日油价]",
            {"NetError"},
            {{Control::Lab_QiYouJiaGe, kSiteAPanel},
             {Control::Lab_Replace, kNotice},
             {Control::Label1, u"元/升\r\n元/升\r\n元/升\r\n元/升\r\n元/升"},
             {Control::Label_Time, u"[2026/12/7] 星期一"}},
            {{Control::Lab_DanJia_1, u"广东当前油价"}, {Control::Lab_DanJia_2, u"深圳当前油价"}}},
        Scenario{
            "MunicipalityHasNoCityColumn",
            u"北京市朝阳区",
            {{u"http://a.test/beijing.shtml", SiteAPage(u"北京")},
             {u"http://b.test/beijing/", SiteBPage()}},
            true,
            {u"https://loc1.test/", u"http://a.test/beijing.shtml", u"http://b.test/beijing/",
             u"http://b.test/beijing/shi.html"},
            kVersionCaption + u" [北京 今日油价]",
            {"NetError", "Fr_QiYouJiaGe_2", "Lab_DanJia_2", "Lab_QiYouJiaGe_2", "Lab_YouJia_2"},
            {},
            {{Control::Lab_DanJia_1, u"北京当前油价"}}},
        Scenario{"ShaanxiUsesSanxiOnSiteBOnlyForTheProvincePage",
                 u"陕西省西安市",
                 PricePages(u"陕西", u"西安", u"shanxi-3", u"xian", u"sanxi", u"xian"),
                 true,
                 {u"https://loc1.test/", u"http://a.test/shanxi-3.shtml",
                  u"http://a.test/shanxi-3/xian.shtml", u"http://b.test/sanxi/",
                  u"http://b.test/shanxi-3/xianshi.html"},
                 kVersionCaption + u" [陕西-西安 今日油价]",
                 {"NetError"}},
        Scenario{"DongguanUsesDongOnSiteB",
                 u"广东省东莞市",
                 PricePages(u"广东", u"东莞", u"guangdong", u"dongguan", u"guangdong", u"dong"),
                 true,
                 {u"https://loc1.test/", u"http://a.test/guangdong.shtml",
                  u"http://a.test/guangdong/dongguan.shtml", u"http://b.test/guangdong/",
                  u"http://b.test/guangdong/dongshi.html"},
                 kVersionCaption + u" [广东-东莞 今日油价]",
                 {"NetError"}},
        Scenario{
            "NoProvinceAndOkLoadsGuangdongWithoutACity",
            u"",
            {{u"http://a.test/guangdong.shtml", SiteAPage(u"广东")},
             {u"http://b.test/guangdong/", SiteBPage()}},
            true,
            Then(kNoPlace, {u"http://a.test/guangdong.shtml", u"http://b.test/guangdong/",
                            u"http://b.test/guangdong/shi.html"}),
            kVersionCaption + u" [广东 今日油价]",
            {"NetError", "Fr_QiYouJiaGe_2", "Lab_DanJia_2", "Lab_QiYouJiaGe_2", "Lab_YouJia_2"},
            {},
            {{Control::Lab_DanJia_1, u"广东当前油价"}}},
        Scenario{
            "NoProvinceAndCancelEndsWithError01",
            u"",
            {},
            false,
            kNoPlace,
            kVersionCaption,
            {"Label1", "Label3", "Lab_YouJia", "Lab_QiYouJiaGe", "Lab_DanJia_1", "Lab_DanJia_2",
             "Fr_QiYouJiaGe_2", "Lab_Error89"},
            {{Control::NetError,
              u"错误提示：\r\n未能定位到您的所在地！ Error：1801\r\n如错误已排除，请重启本程序。"},
             {Control::Lab_Replace, kDisclaimer},
             {Control::Label_Time, u"[2018-11-30] 星期五"}}},
        Scenario{
            "NoPricesEndsWithError02",
            u"广东省深圳市",
            {},
            true,
            {u"https://loc1.test/", u"http://a.test/guangdong.shtml",
             u"http://a.test/guangdong/shenzhen.shtml", u"http://b.test/guangdong/",
             u"http://b.test/guangdong/shenzhenshi.html"},
            kVersionCaption + u" [广东-深圳 今日油价]",
            {"Label1", "Label3", "Lab_YouJia", "Lab_QiYouJiaGe", "Fr_QiYouJiaGe_2", "Lab_Error89",
             "Lab_QiYouJiaGe_2", "Lab_YouJia_2"},
            {{Control::NetError,
              u"错误提示：\r\n数据获取失败，请检查网络！ "
              u"Error：1802\r\n如错误已排除，请重启本程序。"},
             {Control::Lab_Replace, kDisclaimer}},
            {{Control::Lab_DanJia_1, u"广东当前油价"}, {Control::Lab_DanJia_2, u"深圳当前油价"}}}),
    RowName());

TEST(RunSequence, FormLoadWritesTheFirstTextsAndRequestsNothing) {
    FakeProgram p;
    Form_Load(p.run);
    EXPECT_EQ(p.window.windowCaption(), kLocating);
    EXPECT_EQ(p.window.caption(Control::Lab_Replace), kDisclaimer);
    EXPECT_EQ(p.window.caption(Control::Lab_YouJia), u"油价信息加载中，请稍等...");
    EXPECT_TRUE(p.window.timerEnabled());
    EXPECT_TRUE(p.pages.requests().empty());
}

TEST(RunSequence, EachPageLoadsInItsOwnBrowserControl) {
    FakeProgram p;
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    Tim_UpData_Timer(p.run);
    std::vector<Control> browsers;
    for (const auto& r : p.pages.requests()) {
        browsers.push_back(r.browser);
    }
    EXPECT_EQ(browsers, (std::vector<Control>{Control::Web_IP, Control::Web_QiYouJiaGe,
                                              Control::Web_QiYouJiaGe_2, Control::Web_YouJia,
                                              Control::Web_YouJia_2}));
}

TEST(RunSequence, BothProvincePanelsFailingShowsTheErrorPanelBeforeTheCityPageAndLogsWhy) {
    FakeProgram p;
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    std::optional<bool> errorShownDuringCityWait;
    p.pages.duringWait = [&](Control browser) {
        if (browser == Control::Web_YouJia_2) {
            errorShownDuringCityWait = p.window.visible(Control::NetError);
        }
    };
    Tim_UpData_Timer(p.run);
    EXPECT_EQ(errorShownDuringCityWait, true);
    EXPECT_EQ(p.log.missed,
              (Texts{u"Lab_QiYouJiaGe: （数据来源自广东） \r\n", u"Lab_QiYouJiaGe: 95#",
                     u"Lab_QiYouJiaGe_2: （数据来源自深圳） \r\n", u"Lab_QiYouJiaGe_2: 95#",
                     u"Lab_Replace: 0#柴油", u"Lab_Replace: 油价", u"Lab_YouJia: (元/升) \r\n",
                     u"Lab_YouJia: 0#", u"Lab_YouJia_2: (元/升) \r\n", u"Lab_YouJia_2: 0#"}));
}

TEST(RunSequence, AnAbortOrAFailureDuringAWaitStopsTheRunUntouchedAndLogsOnlyTheFailure) {
    const struct {
        const char* name;
        std::function<void()> fail;
        std::vector<std::string> logged;
    } kCases[] = {
        {"the window closed", [] { throw RunAborted(); }, {}},
        {"a loader failed", [] { throw std::runtime_error("no document"); }, {"no document"}},
        {"out of memory", [] { throw std::bad_alloc(); }, {"std::bad_alloc"}},
        {"something not a std::exception", [] { throw 42; }, {"an exception of unknown type"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeProgram p;
        p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
        p.pages.duringWait = [&](Control browser) {
            if (browser == Control::Web_QiYouJiaGe) {
                c.fail();
            }
        };
        Form_Load(p.run);
        const WindowModel beforeRun = p.window;
        EXPECT_NO_THROW(Tim_UpData_Timer(p.run));
        EXPECT_EQ(p.log.failures, c.logged);
        EXPECT_EQ(p.pages.requests().size(), 2u);
        EXPECT_EQ(p.window.windowCaption(), kLocating);
        EXPECT_FALSE(p.window.timerEnabled());
        for (const ControlSpec& spec : AllControls()) {
            EXPECT_EQ(p.window.caption(spec.id), beforeRun.caption(spec.id)) << spec.name;
            EXPECT_EQ(p.window.visible(spec.id), beforeRun.visible(spec.id)) << spec.name;
        }
    }
}

TEST(RunSequence, SponsorClickDuringAWaitOpensThePageAndTheRunGoesOn) {
    FakeProgram p;
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    p.pages.duringWait = [&](Control browser) {
        if (browser == Control::Web_IP) {
            LinkClicked(p.run, Control::Lab_ZanZhu);
        }
    };
    Tim_UpData_Timer(p.run);
    EXPECT_EQ(p.shell.opened, (Texts{u"http://sponsor.test/dashang.html"}));
    EXPECT_EQ(p.window.windowCaption(), kVersionCaption + u" [广东-深圳 今日油价]");
}

}  // namespace
}  // namespace brevane
