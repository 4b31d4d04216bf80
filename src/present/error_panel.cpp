// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's error state.
#include "present/error_panel.h"

#include "core/error_code.h"
#include "core/texts.h"

namespace brevane {

void ShowErrorPanel(WindowModel& window, std::u16string_view message, std::u16string_view code) {
    for (Control hidden : {Control::Label1, Control::Label3, Control::Lab_YouJia,
                           Control::Lab_QiYouJiaGe, Control::Lab_DanJia_1, Control::Lab_DanJia_2,
                           Control::Fr_QiYouJiaGe_2, Control::Lab_Error89}) {
        window.setVisible(hidden, false);
    }
    window.setVisible(Control::NetError, true);
    std::u16string caption(texts::kErrorPanelFirstLine);
    caption += texts::kCrLf;
    caption += message;
    caption += ErrorCode(code);
    caption += texts::kCrLf;
    caption += texts::kErrorPanelLastLine;
    window.setCaption(Control::NetError, caption);
}

}  // namespace brevane
