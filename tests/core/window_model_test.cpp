// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the window model: its state at creation and the changes it reports.
#include "core/window_model.h"

#include <gtest/gtest.h>

#include "core/controls.h"

namespace brevane {
namespace {

TEST(WindowModel, StartsAsTheWindowIsCreated) {
    const WindowModel w;
    EXPECT_EQ(w.windowCaption(), u"Brevane");
    EXPECT_FALSE(w.timerEnabled());
    for (const ControlSpec& spec : AllControls()) {
        const bool hidden = spec.id == Control::Label1 || spec.id == Control::NetError ||
                            spec.kind == ControlKind::Timer;
        EXPECT_EQ(w.visible(spec.id), !hidden) << spec.name;
    }
    EXPECT_EQ(w.caption(Control::Label2).size(), 28u);
    EXPECT_EQ(w.caption(Control::Lab_Error89), u"89#\u3000\u3000汽油\u3000\u3000   --\u3000\u3000");
    EXPECT_EQ(w.caption(Control::Label5), u"[\u3000\u3000]");
    EXPECT_EQ(w.caption(Control::Lab_QiYouJiaGe), u"");
    EXPECT_EQ(w.caption(Control::Lab_QiYouJiaGe_2), u"油价显示面板");
    EXPECT_EQ(w.toolTip(Control::Label4), u"暂无II级油价信息");
    EXPECT_EQ(w.toolTip(Control::Lab_DanJia_1), u"单价(I)");
    EXPECT_TRUE(w.values.provinceName.empty());
    EXPECT_EQ(w.values.lookupStage, 0);
}

TEST(WindowModel, InventoryKeepsContainersTogetherInStackingOrder) {
    const auto controls = AllControls();
    ASSERT_EQ(controls.size(), static_cast<std::size_t>(kControlCount));
    for (std::size_t i = 1; i < controls.size(); ++i) {
        EXPECT_LE(controls[i - 1].container, controls[i].container) << controls[i].name;
    }
    EXPECT_EQ(SpecOf(Control::Lab_QiYouJiaGe_2).geometry.left, -1680);
    EXPECT_EQ(SpecOf(Control::Label4).geometry.top, -30);
}

TEST(WindowModel, ReportsEachRealChangeOnce) {
    WindowModel w;
    std::vector<std::pair<ChangeKind, Control>> seen;
    w.setObserver([&](const Change& c) { seen.emplace_back(c.kind, c.control); });
    w.setCaption(Control::NetError, u"错误提示：");  // unchanged
    w.setCaption(Control::NetError, u"x");
    w.setVisible(Control::NetError, true);
    w.setVisible(Control::NetError, true);
    w.setToolTip(Control::Lab_DanJia_1, u"广东当前油价");
    w.setTimerEnabled(true);
    w.setWindowCaption(u"another caption");
    const std::vector<std::pair<ChangeKind, Control>> expected{
        {ChangeKind::Caption, Control::NetError},
        {ChangeKind::Visible, Control::NetError},
        {ChangeKind::ToolTip, Control::Lab_DanJia_1},
        {ChangeKind::TimerEnabled, Control::Tim_UpData},
        {ChangeKind::WindowCaption, Control::Frame1},
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace brevane
