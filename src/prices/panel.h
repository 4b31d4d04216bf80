// Rules shared by the four price panel labels.
#pragma once

#include <string_view>

#include "app/window_model.h"

namespace brevane {

/// A panel caption counts as loaded when it contains "92" anywhere.
bool CountsAsLoaded(std::u16string_view caption);

/// Hides `label` unless its caption counts as loaded.
void HideUnlessLoaded(WindowModel& window, Control label);

}  // namespace brevane
