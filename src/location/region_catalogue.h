// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One text holding the display name of every province and city, used by the price
// cutters as a set of characters to delete.
#pragma once

#include <string>

#include "core/window_model.h"

namespace brevane {

/// The catalogue text (the same on every run).
const std::u16string& RegionCatalogueText();

/// Stores the catalogue in the window's values.
void BuildRegionCatalogue(WindowValues& values);

}  // namespace brevane
