// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// How screen readers and test tools read the main window: the window, its frames and
// its labels, each with its role, texts, state and action.
#pragma once

namespace brevane {

/// Installs, once, the accessible interfaces of the window's own widgets: the window,
/// its GroupFrames (oil_price_window.h) as groupings, and every TwipLabel as static text named by
/// its caption and described by its tooltip, or as a link whose press action clicks it. Lines and
/// the browsers' places keep Qt's plain interface.
void InstallControlAccessibility();

}  // namespace brevane
