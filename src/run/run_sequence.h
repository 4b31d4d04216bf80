// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the one run: first texts, the start timer, locate, load every panel,
// and the caption that names the place.
#pragma once

#include "core/run_context.h"

namespace brevane {

/// Shows the locating caption, the disclaimer and the loading text, and starts the
/// one-second start timer.
void Form_Load(RunContext& run);
/// The start timer's one tick: disables the timer, finds the place and loads every panel. A run
/// that the platform aborts (the window was closed), or that any step fails with an exception, ends
/// here; the program goes on with the window as it is. A failure, unlike an abort, is noted in the
/// run's log.
void Tim_UpData_Timer(RunContext& run);
/// A click on a label the inventory marks as a link: the sponsor label opens the sponsor
/// page in the user's browser.
void LinkClicked(RunContext& run, Control link);

}  // namespace brevane
