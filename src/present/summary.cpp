// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The final state of the price table.
#include "present/summary.h"

#include "core/text.h"
#include "core/texts.h"
#include "present/error_panel.h"
#include "prices/panel.h"

namespace brevane {
namespace {

/// Shows `label` with the place's tooltip, or hides it when the place is unknown.
void SetColumnToolTip(WindowModel& window, Control label, const std::u16string& slug,
                      const std::u16string& name) {
    if (slug.empty()) {
        window.setVisible(label, false);
        return;
    }
    window.setVisible(label, true);
    window.setToolTip(label, name + std::u16string(texts::kColumnToolTipSuffix));
}

}  // namespace

std::u16string DateLine(const Today& today) {
    const int weekday = today.dayOfWeek >= 1 && today.dayOfWeek <= 7 ? today.dayOfWeek : 1;
    std::u16string line(texts::kDateOpen);
    line += today.shortDateText;
    line += texts::kDateClose;
    line += texts::kWeekdays[weekday - 1];
    return line;
}

void Show_Summary(RunContext& run) {
    WindowModel& window = run.window;
    const WindowValues& values = window.values;
    const bool anyPrices = CountsAsLoaded(window.caption(Control::Lab_YouJia)) ||
                           CountsAsLoaded(window.caption(Control::Lab_QiYouJiaGe));
    if (anyPrices) {
        window.setVisible(Control::Label1, true);
        window.setCaption(Control::Label1, texts::kUnitColumnText);
        window.setVisible(Control::Label3, true);
        window.setVisible(Control::Lab_Replace, true);
    } else {
        ShowErrorPanel(window, texts::kNoPricesMessage, texts::kErrorNoPrices);
    }
    SetColumnToolTip(window, Control::Lab_DanJia_1, values.provinceSlug, values.provinceName);
    SetColumnToolTip(window, Control::Lab_DanJia_2, values.citySlug, values.cityName);
    window.setCaption(Control::Label_Time, DateLine(run.clock.Now()));
}

}  // namespace brevane
