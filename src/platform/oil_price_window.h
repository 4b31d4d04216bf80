// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window, built from the control inventory and kept in step with
// the window model.
//
// How the pieces fit together:
//
//   controls.h ──(kind, container, geometry in twips, look, stacking order)──▶ OilPrice
//   WindowModel ──(observer: caption, visibility, tooltip, window caption, timer)──▶ OilPrice
//   OilPrice ──(timer tick, click on a link label)──▶ run_sequence.h handlers
//   handlers ──▶ WindowModel and the ports (pages, OK/Cancel box, shell, clock)
//
// The core knows every text and rule; this window knows only how to draw controls.
// It creates one widget per control of the inventory in its container, converts
// twips to logical pixels, and stacks siblings in the inventory's order. From then on
// it changes nothing on its own: every caption, visibility and tooltip it shows is
// the model's, written through at once, so the window also repaints while the run
// waits for a page inside a local event loop. The run itself is started by the
// one-shot start timer, which the model enables.
//
// The window, its frames and its labels tell screen readers what they show
// (control_accessibility.h): each label's caption and tooltip as the model holds them.
//
// Closing the window detaches it from the model and stops the timer before anything
// else happens, then emits closed(): the owner aborts any wait in progress, the run
// unwinds with RunAborted, and no widget is touched after the close.
#pragma once

#include <array>

#include <QFont>
#include <QFrame>
#include <QTimer>
#include <QWidget>

#include "core/controls.h"
#include "core/run_context.h"

namespace brevane {

class TwipLabel;

/// A frame of the main window; screen readers see it as a grouping of what it holds.
class GroupFrame : public QFrame {
    Q_OBJECT

public:
    using QFrame::QFrame;
};

/// The font of a control's font kind, with fallback families for systems without
/// the preferred one.
QFont FontFor(FontKind kind);

class OilPrice : public QWidget {
    Q_OBJECT

public:
    /// Builds every control in the state the model holds now and follows the model
    /// from then on. The run context must outlive the window.
    explicit OilPrice(RunContext& run, QWidget* parent = nullptr);
    ~OilPrice() override;

    /// The widget of a control; null for the timer, which has none.
    QWidget* control(Control id) const { return m_controls[static_cast<std::size_t>(id)]; }
    /// The label widget of a label control, else null.
    TwipLabel* label(Control id) const;

    /// Whether the start timer is counting down to its tick.
    bool timerActive() const { return m_timer.isActive(); }

signals:
    /// The start timer's handler has returned (the run is over, done or aborted).
    void runEnded();
    /// The user closed the window; the model is already detached.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    /// Centres the whole window, frame included, on its screen's available area.
    void centreOnScreen();
    void apply(const Change& change);
    void showWindowCaption();
    void followTimer();
    void onTimerTick();

    RunContext& m_run;
    std::array<QWidget*, kControlCount> m_controls{};
    QTimer m_timer;
    bool m_centred = false;
    QMargins m_centredMargins;  ///< the frame's margins when last centred
    QPoint m_centredClient;     ///< where the client area was put then
    bool m_closed = false;
};

}  // namespace brevane
