// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's error state: the price table gives way to the error panel.
#pragma once

#include <string_view>

#include "core/window_model.h"

namespace brevane {

/// Hides the price table and shows the error panel with `message`, the error code
/// and the advice to restart.
void ShowErrorPanel(WindowModel& window, std::u16string_view message, std::u16string_view code);

}  // namespace brevane
