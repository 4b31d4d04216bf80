// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's caption: the program's version, and after a run the place it found.
#pragma once

#include <string>

#include "core/window_model.h"

namespace brevane {

/// "Brevane v" and the major, minor and revision numbers.
std::u16string VersionCaption();

/// The caption while the place is being looked up.
std::u16string LocatingCaption();

/// The caption after a run: the version caption and the place's display names.
std::u16string PlaceCaption(const WindowValues& values);

}  // namespace brevane
