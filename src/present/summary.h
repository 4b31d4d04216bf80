// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The final state of the price table: unit column or error 02, column tooltips and
// the date line.
#pragma once

#include <string>

#include "core/run_context.h"

namespace brevane {

/// "[", the short date, "] " and the weekday word.
std::u16string DateLine(const Today& today);

/// Completes the price table (unit column, notice) or, when neither province panel has
/// prices, shows error 02; then sets the column tooltips and writes today's date.
void Show_Summary(RunContext& run);

}  // namespace brevane
