// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the final state of the price table and the date line.
#include "present/summary.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_ports.h"

namespace brevane {
namespace {

using namespace testing;

TEST(DateLine, HasOneSpaceBeforeTheWeekdayButTwoOnSunday) {
    EXPECT_EQ(DateLine({2018, 11, 30, 6, u"2018-11-30"}), u"[2018-11-30] 星期五");
    EXPECT_EQ(DateLine({2026, 12, 6, 1, u"2026/12/6"}), u"[2026/12/6]  星期天");
    EXPECT_EQ(DateLine({2026, 12, 12, 7, u"12.12.26"}), u"[12.12.26] 星期六");
}

TEST(ShowSummary, AProvincePanelWithNinetyTwoCompletesTheTable) {
    for (const Control loaded : {Control::Lab_QiYouJiaGe, Control::Lab_YouJia}) {
        SCOPED_TRACE(std::string(SpecOf(loaded).name));
        FakeProgram program;
        program.window.values = {.provinceName = u"广东",
                                 .provinceSlug = u"guangdong",
                                 .cityName = u"深圳",
                                 .citySlug = u"shenzhen"};
        program.window.setCaption(loaded, u"89# 6.92");
        Show_Summary(program.run);
        const WindowModel& w = program.window;
        EXPECT_TRUE(w.visible(Control::Label1));
        EXPECT_EQ(w.caption(Control::Label1), u"元/升\r\n元/升\r\n元/升\r\n元/升\r\n元/升");
        EXPECT_FALSE(w.visible(Control::NetError));
        EXPECT_EQ(w.toolTip(Control::Lab_DanJia_1), u"广东当前油价");
        EXPECT_EQ(w.toolTip(Control::Lab_DanJia_2), u"深圳当前油价");
        EXPECT_EQ(w.caption(Control::Label_Time), u"[2026/12/7] 星期一");
    }
}

TEST(ShowSummary, NoProvincePricesShowsError02EvenWithACityPanel) {
    FakeProgram program;
    program.window.values = {.provinceName = u"广东", .provinceSlug = u"guangdong"};
    program.window.setCaption(Control::Lab_YouJia, u"油价信息加载中，请稍等...");
    program.window.setCaption(Control::Lab_YouJia_2, u"92# 7.10");
    Show_Summary(program.run);
    const WindowModel& w = program.window;
    EXPECT_TRUE(w.visible(Control::NetError));
    EXPECT_EQ(
        w.caption(Control::NetError),
        u"错误提示：\r\n数据获取失败，请检查网络！ Error：1802\r\n如错误已排除，请重启本程序。");
    EXPECT_FALSE(w.visible(Control::Fr_QiYouJiaGe_2));
    EXPECT_FALSE(w.visible(Control::Label1));
    EXPECT_TRUE(w.visible(Control::Lab_Replace));
    // The province tooltip comes back over the empty column; no city, no tooltip.
    EXPECT_TRUE(w.visible(Control::Lab_DanJia_1));
    EXPECT_EQ(w.toolTip(Control::Lab_DanJia_1), u"广东当前油价");
    EXPECT_FALSE(w.visible(Control::Lab_DanJia_2));
    EXPECT_EQ(w.toolTip(Control::Lab_DanJia_2), u"单价(II)");
}

}  // namespace
}  // namespace brevane
