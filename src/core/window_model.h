// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The state of the main window as the program sees it: caption, visibility and
// tooltip of every control, the window caption, the start timer and the six
// window-level values. The platform window mirrors it through an observer.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"

namespace brevane {

/// Values the run keeps in the window: written by location, read by the loaders.
struct WindowValues {
    std::u16string provinceName;
    std::u16string provinceSlug;
    std::u16string cityName;
    std::u16string citySlug;
    std::u16string regionCatalogue;
    int lookupStage = 0;
};

enum class ChangeKind { Caption, Visible, ToolTip, WindowCaption, TimerEnabled };

struct Change {
    ChangeKind kind;
    Control control;  ///< meaningless for WindowCaption
};

class WindowModel {
public:
    using Observer = std::function<void(const Change&)>;

    /// Every control in its state at window creation.
    WindowModel();

    const std::u16string& caption(Control control) const { return state(control).caption; }
    bool visible(Control control) const { return state(control).visible; }
    const std::u16string& toolTip(Control control) const { return state(control).toolTip; }
    void setCaption(Control control, std::u16string_view caption);
    void setVisible(Control control, bool visible);
    void setToolTip(Control control, std::u16string_view toolTip);

    const std::u16string& windowCaption() const { return m_windowCaption; }
    void setWindowCaption(std::u16string_view caption);

    bool timerEnabled() const { return m_timerEnabled; }
    void setTimerEnabled(bool enabled);

    WindowValues values;

    /// Called after every change that alters what the window shows; changes to the
    /// same value are not reported.
    void setObserver(Observer observer) { m_observer = std::move(observer); }

private:
    struct ControlState {
        std::u16string caption;
        std::u16string toolTip;
        bool visible = true;
    };

    const ControlState& state(Control control) const {
        return m_controls[static_cast<std::size_t>(control)];
    }
    ControlState& state(Control control) { return m_controls[static_cast<std::size_t>(control)]; }
    void notify(ChangeKind kind, Control control);

    std::array<ControlState, kControlCount> m_controls;
    std::u16string m_windowCaption;
    bool m_timerEnabled = false;
    Observer m_observer;
};

}  // namespace brevane
