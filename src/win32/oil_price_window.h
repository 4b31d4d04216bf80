// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window on Windows, built from the control inventory and kept in step
// with the window model.
//
// How the pieces fit together:
//
//   controls.h ──(kind, container, geometry in twips, look, stacking order)──▶ OilPriceWindow
//   look ──(twips at the window's DPI, label layout, fonts, readable colours)──▶ the children
//   WindowModel ──(observer: caption, visibility, tooltip, window caption, timer)──▶ the window
//   the window ──(start timer's tick, click on a link label)──▶ run_sequence.h handlers
//   handlers ──▶ WindowModel and the ports (pages, OK/Cancel box, shell, clock)
//
// The window makes one child window per frame, label and line of the inventory
// (control_windows.h), in its container, topmost first, each with a fixed ID; the timer
// is a window timer and the browsers have no window. Twips become pixels at the window's
// DPI, and a change of DPI (WM_DPICHANGED, as the window moves to another monitor)
// rebuilds the fonts and puts every child where it stands at the new DPI. Tooltips come
// from one tooltip control, one tool per label that has a tooltip, including the labels
// that draw nothing. Every change of the model is written through at once, so the
// window also repaints while the run waits inside a nested message loop.
//
// Closing the window (or the end of the session) detaches it from the model, stops the
// timer and hides it, then calls closed: the owner aborts any wait in progress and the
// run unwinds with RunAborted. The window itself is destroyed only once the run has
// returned, never under it.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "core/run_context.h"
#include "win32/control_windows.h"
#include "win32/gdi_fonts.h"

namespace brevane::win32 {

class OilPriceWindow {
public:
    /// Creates the window, hidden, with every control in the state the model holds now, and
    /// follows the model from then on. The run context must outlive the window. Throws
    /// std::runtime_error when the system refuses the window.
    explicit OilPriceWindow(RunContext& run);
    ~OilPriceWindow();
    OilPriceWindow(const OilPriceWindow&) = delete;
    OilPriceWindow& operator=(const OilPriceWindow&) = delete;

    /// Centres the window, frame included, on its monitor's work area and shows it.
    void show();

    /// Null once the window is destroyed.
    HWND hwnd() const { return m_window; }
    /// The window of a control; null for the timer and the browsers, which have none.
    HWND control(Control id) const { return m_controls[static_cast<std::size_t>(id)]; }
    /// The tooltip control, which holds the labels' tooltips.
    HWND toolTips() const { return m_toolTips; }
    bool timerActive() const { return m_timerActive; }
    int dpi() const { return m_fonts->dpi(); }

    /// The start timer's handler has returned (the run is over, done or aborted).
    std::function<void()> runEnded;
    /// The user closed the window, or the session ends; the model is already detached.
    std::function<void()> closed;
    /// The window is being destroyed.
    std::function<void()> destroyed;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void build();
    void apply(const Change& change);
    void setToolTip(Control id);
    void followTimer();
    void onTimer();
    void onClose();
    void onCommand(WPARAM wParam);
    void onDpiChanged(int dpi, const RECT* suggested);
    void setClientSize(const RECT* at);

    RunContext& m_run;
    HWND m_window = nullptr;
    HWND m_toolTips = nullptr;
    std::unique_ptr<ControlFonts> m_fonts;
    std::array<ControlState, kControlCount> m_states{};
    std::array<HWND, kControlCount> m_controls{};
    std::array<bool, kControlCount> m_hasTool{};
    bool m_timerActive = false;
    bool m_inRun = false;
    bool m_closed = false;
};

}  // namespace brevane::win32
