// Start-up and the one run: first texts, the start timer, locate, load every panel,
// and the caption that names the place.
#pragma once

#include "core/run_context.h"

namespace brevane {

/// Shows the locating caption, the disclaimer and the loading text, and starts the
/// one-second start timer.
void Form_Load(RunContext& run);
/// The start timer's one tick: disables the timer and runs LocateAndLoad. A run that
/// the platform aborts (the window was closed), or that any step fails with an
/// exception, ends here quietly; the program goes on with the window as it is.
void Tim_UpData_Timer(RunContext& run);
/// Finds the place (or, with the user's consent, takes Guangdong), loads every panel
/// and names the place in the caption; a refusal ends in error 01.
void LocateAndLoad(RunContext& run);
/// Builds the region catalogue, then runs the five price loaders and the summary.
void LoadAllPanels(RunContext& run);
/// Opens the sponsor page in the user's browser.
void Lab_ZanZhu_Click(RunContext& run);

}  // namespace brevane
