// The final state of the price table: unit column or error 02, column tooltips and
// the date line.
#pragma once

#include <string>

#include "app/ports.h"
#include "app/run_context.h"

namespace brevane {

/// "[", the short date, "] " and the weekday word.
std::u16string DateLine(const Today& today);

void Show_Summary(RunContext& run);

}  // namespace brevane
