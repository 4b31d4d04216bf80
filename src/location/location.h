// Finding the user's place from IP-location pages, the Guangdong fallback, and the
// error panel.
#pragma once

#include <string>
#include <string_view>

#include "app/run_context.h"

namespace brevane {

/// Loads the location sources in order in Web_IP and returns the location fragment
/// cut from the first page that carries its source's marker (or from source 3).
std::u16string DetectLocation(RunContext& run);

/// Sets Guangdong and asks the user whether to load it; on refusal puts the window
/// into its error state with error 01. Returns whether the user accepted.
bool OfferDefaultRegion(RunContext& run);

/// The major version number followed by the two-digit code, e.g. "1801".
std::u16string ErrorCode(std::u16string_view code);

/// Hides the price table and shows the error panel with `message`, the error code
/// and the advice to restart.
void ShowErrorPanel(WindowModel& window, std::u16string_view message, std::u16string_view code);

}  // namespace brevane
