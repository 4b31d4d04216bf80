// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's model of its main window.
#include "core/window_model.h"

namespace brevane {

WindowModel::WindowModel() : m_windowCaption(kWindowCreationCaption) {
    for (const ControlSpec& spec : AllControls()) {
        ControlState& s = state(spec.id);
        s.caption = spec.caption;
        s.toolTip = spec.toolTip;
        s.visible = spec.visible;
    }
}

void WindowModel::setCaption(Control control, std::u16string_view caption) {
    ControlState& s = state(control);
    if (s.caption != caption) {
        s.caption = caption;
        notify(ChangeKind::Caption, control);
    }
}

void WindowModel::setVisible(Control control, bool visible) {
    ControlState& s = state(control);
    if (s.visible != visible) {
        s.visible = visible;
        notify(ChangeKind::Visible, control);
    }
}

void WindowModel::setToolTip(Control control, std::u16string_view toolTip) {
    ControlState& s = state(control);
    if (s.toolTip != toolTip) {
        s.toolTip = toolTip;
        notify(ChangeKind::ToolTip, control);
    }
}

void WindowModel::setWindowCaption(std::u16string_view caption) {
    if (m_windowCaption != caption) {
        m_windowCaption = caption;
        notify(ChangeKind::WindowCaption, Control::Frame1);
    }
}

void WindowModel::setTimerEnabled(bool enabled) {
    if (m_timerEnabled != enabled) {
        m_timerEnabled = enabled;
        notify(ChangeKind::TimerEnabled, Control::Tim_UpData);
    }
}

void WindowModel::notify(ChangeKind kind, Control control) {
    if (m_observer) {
        m_observer(Change{kind, control});
    }
}

}  // namespace brevane
