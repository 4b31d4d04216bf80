// The latest price-adjustment notice of site A's province page, with its estimate
// for a 40-litre tank.
#pragma once

#include <string>
#include <string_view>

#include "app/run_context.h"

namespace brevane {

/// The notice label's caption for a province page text: the notice with its
/// estimate, the notice alone, or the disclaimer.
std::u16string NoticeCaption(std::u16string_view pageText);

/// Reads Web_QiYouJiaGe again (no request) and writes Lab_Replace.
void Load_Replace(RunContext& run);

}  // namespace brevane
