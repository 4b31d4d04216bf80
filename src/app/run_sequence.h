// Start-up and the one run: first texts, the start timer, locate, load every panel,
// and the caption that names the place.
#pragma once

#include <string>

#include "app/run_context.h"

namespace brevane {

/// "Brevane v" and the major, minor and revision numbers.
std::u16string VersionCaption();

/// The caption after a run: the version caption and the place's display names.
std::u16string PlaceCaption(const WindowValues& values);

/// First caption, disclaimer, loading text; enables the start timer.
void Form_Load(RunContext& run);
/// The start timer's one tick: disables the timer and runs LocateAndLoad. A run that
/// the platform aborts (the window was closed), or that any step fails with an
/// exception, ends here quietly; the program goes on with the window as it is.
void Tim_UpData_Timer(RunContext& run);
void LocateAndLoad(RunContext& run);
void LoadAllPanels(RunContext& run);
/// Opens the sponsor page in the user's browser.
void Lab_ZanZhu_Click(RunContext& run);

}  // namespace brevane
