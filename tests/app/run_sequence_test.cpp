// Whole runs of the program against fake pages and a scripted OK/Cancel answer.
#include "app/run_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <new>
#include <set>
#include <stdexcept>

#include "support/fake_ports.h"
#include "support/sample_pages.h"

namespace brevane {
namespace {

using namespace testing;
using Addresses = std::vector<std::u16string>;

const std::u16string kLocating = u"Brevane v18.12.4 [正在获取您的所在地...]";

/// Names of the controls whose caption, visibility or tooltip differ between two models.
std::set<std::string_view> Changed(const WindowModel& before, const WindowModel& after) {
    std::set<std::string_view> names;
    for (const ControlSpec& spec : AllControls()) {
        if (before.caption(spec.id) != after.caption(spec.id) ||
            before.visible(spec.id) != after.visible(spec.id) ||
            before.toolTip(spec.id) != after.toolTip(spec.id)) {
            names.insert(spec.name);
        }
    }
    return names;
}

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form_Load(p.run);
        afterLoad = std::make_unique<WindowModel>(p.window);
    }

    /// Serves every page of a place on both price sites.
    void ServePrices(std::u16string_view province, std::u16string_view city,
                     const std::u16string& provinceSlug, const std::u16string& citySlug,
                     const std::u16string& siteBProvince, const std::u16string& siteBCity) {
        p.pages.Serve(u"http://a.test/" + provinceSlug + u".shtml", SiteAPage(province));
        p.pages.Serve(u"http://a.test/" + provinceSlug + u"/" + citySlug + u".shtml",
                      SiteAPage(city, u"7.15"));
        p.pages.Serve(u"http://b.test/" + siteBProvince + u"/", SiteBPage());
        p.pages.Serve(u"http://b.test/" + provinceSlug + u"/" + siteBCity + u"shi.html",
                      SiteBPage(u"7.13"));
    }

    void Run() { Tim_UpData_Timer(p.run); }
    std::set<std::string_view> changed() const { return Changed(*afterLoad, p.window); }

    FakeProgram p;
    std::unique_ptr<WindowModel> afterLoad;
};

TEST_F(RunTest, FormLoadWritesTheFirstTextsAndRequestsNothing) {
    EXPECT_EQ(p.window.windowCaption(), kLocating);
    EXPECT_EQ(
        p.window.caption(Control::Lab_Replace),
        u"油价数据仅供参考，实际在售油价可能有小幅偏差\r\n请以您所在地区的加油站实际售价为准");
    EXPECT_EQ(p.window.caption(Control::Lab_YouJia), u"油价信息加载中，请稍等...");
    EXPECT_TRUE(p.window.timerEnabled());
    EXPECT_TRUE(p.pages.requests().empty());
    EXPECT_EQ(VersionCaption(), u"Brevane v18.12.4");
}

TEST_F(RunTest, GuangdongShenzhenFillsEveryPanel) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    ServePrices(u"广东", u"深圳", u"guangdong", u"shenzhen", u"guangdong", u"shenzhen");
    Run();

    EXPECT_FALSE(p.window.timerEnabled());
    EXPECT_EQ(p.pages.addresses(),
              (Addresses{u"https://loc1.test/", u"http://a.test/guangdong.shtml",
                         u"http://a.test/guangdong/shenzhen.shtml", u"http://b.test/guangdong/",
                         u"http://b.test/guangdong/shenzhenshi.html"}));
    std::vector<Control> browsers;
    for (const auto& r : p.pages.requests()) {
        browsers.push_back(r.browser);
    }
    EXPECT_EQ(browsers, (std::vector<Control>{Control::Web_IP, Control::Web_QiYouJiaGe,
                                              Control::Web_QiYouJiaGe_2, Control::Web_YouJia,
                                              Control::Web_YouJia_2}));
    const WindowModel& w = p.window;
    EXPECT_EQ(w.windowCaption(), u"Brevane v18.12.4 [广东-深圳 今日油价]");
    EXPECT_EQ(w.caption(Control::Lab_QiYouJiaGe), kSiteAPanel);
    EXPECT_TRUE(w.caption(Control::Lab_QiYouJiaGe_2).starts_with(u"92#\u3000\u3000汽油"));
    EXPECT_TRUE(
        w.caption(Control::Lab_YouJia).starts_with(u"89#\u3000\u3000汽油         6.68\r\n"));
    EXPECT_NE(w.caption(Control::Lab_YouJia_2).find(u"7.13"), std::u16string::npos);
    EXPECT_EQ(w.caption(Control::Lab_Replace), u"油价下跌(约省5.2元/40L/箱)(0.13元/升)\r\n");
    EXPECT_EQ(w.caption(Control::Label_Time), u"[2026/12/7] 星期一");
    EXPECT_EQ(w.toolTip(Control::Lab_DanJia_2), u"深圳当前油价");
    for (Control shown : {Control::Lab_QiYouJiaGe, Control::Lab_QiYouJiaGe_2, Control::Lab_YouJia,
                          Control::Lab_YouJia_2, Control::Label1, Control::Fr_QiYouJiaGe_2}) {
        EXPECT_TRUE(w.visible(shown)) << SpecOf(shown).name;
    }
    EXPECT_FALSE(w.visible(Control::NetError));
    EXPECT_EQ(changed(),
              (std::set<std::string_view>{"Lab_QiYouJiaGe", "Lab_QiYouJiaGe_2", "Lab_YouJia",
                                          "Lab_YouJia_2", "Lab_Replace", "Label1", "Lab_DanJia_1",
                                          "Lab_DanJia_2", "Label_Time"}));
}

TEST_F(RunTest, MunicipalityHasNoCityColumn) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"北京市朝阳区"));
    p.pages.Serve(u"http://a.test/beijing.shtml", SiteAPage(u"北京"));
    p.pages.Serve(u"http://b.test/beijing/", SiteBPage());
    Run();
    EXPECT_EQ(p.pages.addresses(),
              (Addresses{u"https://loc1.test/", u"http://a.test/beijing.shtml",
                         u"http://b.test/beijing/", u"http://b.test/beijing/shi.html"}));
    EXPECT_EQ(p.window.windowCaption(), u"Brevane v18.12.4 [北京 今日油价]");
    EXPECT_FALSE(p.window.visible(Control::Fr_QiYouJiaGe_2));
    EXPECT_FALSE(p.window.visible(Control::Lab_DanJia_2));
    EXPECT_TRUE(p.window.visible(Control::Label1));
}

TEST_F(RunTest, NoProvinceAndOkLoadsGuangdongWithoutACity) {
    p.pages.Serve(u"https://loc1.test/", u"定位服务暂不可用");
    p.pages.Serve(u"http://a.test/guangdong.shtml", SiteAPage(u"广东"));
    p.pages.Serve(u"http://b.test/guangdong/", SiteBPage());
    std::u16string captionWhileAsked;
    p.confirm.whileOpen = [&] { captionWhileAsked = p.window.windowCaption(); };
    Run();
    EXPECT_EQ(p.confirm.asked, 1);
    EXPECT_EQ(captionWhileAsked, kLocating);
    EXPECT_EQ(p.pages.addresses(),
              (Addresses{u"https://loc1.test/", u"http://loc2.test/", u"https://loc3.test/ip.html",
                         u"http://a.test/guangdong.shtml", u"http://b.test/guangdong/",
                         u"http://b.test/guangdong/shi.html"}));
    EXPECT_EQ(p.window.windowCaption(), u"Brevane v18.12.4 [广东 今日油价]");
    EXPECT_TRUE(p.window.visible(Control::Lab_QiYouJiaGe));
    EXPECT_EQ(p.window.toolTip(Control::Lab_DanJia_1), u"广东当前油价");
}

TEST_F(RunTest, NoProvinceAndCancelEndsWithError01) {
    p.confirm.answer = false;
    Run();
    EXPECT_EQ(p.pages.addresses(), (Addresses{u"https://loc1.test/", u"http://loc2.test/",
                                              u"https://loc3.test/ip.html"}));
    const WindowModel& w = p.window;
    EXPECT_EQ(w.windowCaption(), u"Brevane v18.12.4");
    EXPECT_TRUE(w.values.regionCatalogue.empty());
    EXPECT_EQ(w.values.lookupStage, 0);
    EXPECT_EQ(w.caption(Control::NetError),
              u"错误提示：\r\n未能定位到您的所在地！ Error：1801\r\n如错误已排除，请重启本程序。");
    EXPECT_EQ(w.caption(Control::Label_Time), u"[2018-11-30] 星期五");
    EXPECT_EQ(changed(), (std::set<std::string_view>{
                             "Label3", "Lab_YouJia", "Lab_QiYouJiaGe", "Lab_DanJia_1",
                             "Lab_DanJia_2", "Fr_QiYouJiaGe_2", "Lab_Error89", "NetError"}));
}

TEST_F(RunTest, BothProvincePagesFailingShowsError02EarlyAndAtTheEnd) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    std::optional<bool> errorShownDuringCityWait;
    p.pages.duringWait = [&](Control browser) {
        if (browser == Control::Web_YouJia_2) {
            errorShownDuringCityWait = p.window.visible(Control::NetError);
        }
    };
    Run();
    EXPECT_EQ(errorShownDuringCityWait, true);
    EXPECT_EQ(
        p.window.caption(Control::NetError),
        u"错误提示：\r\n数据获取失败，请检查网络！ Error：1802\r\n如错误已排除，请重启本程序。");
    EXPECT_EQ(p.window.windowCaption(), u"Brevane v18.12.4 [广东-深圳 今日油价]");
    EXPECT_FALSE(p.window.visible(Control::Fr_QiYouJiaGe_2));
    EXPECT_TRUE(p.window.visible(Control::Lab_DanJia_1));
    EXPECT_EQ(
        p.window.caption(Control::Lab_Replace),
        u"油价数据仅供参考，实际在售油价可能有小幅偏差\r\n请以您所在地区的加油站实际售价为准");
}

TEST_F(RunTest, ShaanxiUsesSanxiOnSiteBOnlyForTheProvincePage) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"陕西省西安市"));
    ServePrices(u"陕西", u"西安", u"shanxi-3", u"xian", u"sanxi", u"xian");
    Run();
    EXPECT_EQ(p.pages.addresses(),
              (Addresses{u"https://loc1.test/", u"http://a.test/shanxi-3.shtml",
                         u"http://a.test/shanxi-3/xian.shtml", u"http://b.test/sanxi/",
                         u"http://b.test/shanxi-3/xianshi.html"}));
    EXPECT_EQ(p.window.values.provinceSlug, u"shanxi-3");
    EXPECT_TRUE(p.window.visible(Control::Lab_YouJia));
    EXPECT_TRUE(p.window.visible(Control::Lab_YouJia_2));
}

TEST_F(RunTest, DongguanUsesDongOnSiteB) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省东莞市"));
    ServePrices(u"广东", u"东莞", u"guangdong", u"dongguan", u"guangdong", u"dong");
    Run();
    EXPECT_EQ(p.pages.addresses().back(), u"http://b.test/guangdong/dongshi.html");
    EXPECT_EQ(p.window.values.citySlug, u"dongguan");
    EXPECT_TRUE(p.window.visible(Control::Lab_YouJia_2));
    EXPECT_EQ(p.window.windowCaption(), u"Brevane v18.12.4 [广东-东莞 今日油价]");
}

TEST_F(RunTest, AnAbortOrAFailureDuringAWaitStopsTheRunQuietly) {
    const struct {
        const char* name;
        std::function<void()> fail;
    } kCases[] = {
        {"the window closed", [] { throw RunAborted(); }},
        {"a loader failed", [] { throw std::runtime_error("no document"); }},
        {"out of memory", [] { throw std::bad_alloc(); }},
        {"something not a std::exception", [] { throw 42; }},
    };
    for (const auto& c : kCases) {
        FakeProgram program;
        Form_Load(program.run);
        program.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
        program.pages.duringWait = [&](Control browser) {
            if (browser == Control::Web_QiYouJiaGe) {
                c.fail();
            }
        };
        const WindowModel beforeRun = program.window;
        EXPECT_NO_THROW(Tim_UpData_Timer(program.run)) << c.name;
        EXPECT_EQ(program.pages.requests().size(), 2u) << c.name;
        EXPECT_EQ(program.window.windowCaption(), kLocating) << c.name;
        EXPECT_FALSE(program.window.timerEnabled()) << c.name;
        EXPECT_TRUE(Changed(beforeRun, program.window).empty()) << c.name;
    }
}

TEST_F(RunTest, SponsorClickDuringAWaitOpensThePageAndTheRunGoesOn) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    ServePrices(u"广东", u"深圳", u"guangdong", u"shenzhen", u"guangdong", u"shenzhen");
    p.pages.duringWait = [&](Control browser) {
        if (browser == Control::Web_IP) {
            Lab_ZanZhu_Click(p.run);
        }
    };
    Run();
    EXPECT_EQ(p.shell.opened, (Addresses{u"http://sponsor.test/dashang.html"}));
    EXPECT_EQ(p.window.windowCaption(), u"Brevane v18.12.4 [广东-深圳 今日油价]");
}

}  // namespace
}  // namespace brevane
