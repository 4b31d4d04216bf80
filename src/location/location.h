// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the user's place from IP-location pages, and the offer of Guangdong when
// none is found.
#pragma once

#include <string>

#include "core/run_context.h"

namespace brevane {

/// Loads the location sources in order in Web_IP and returns the location fragment
/// cut from the first page that carries its source's marker (or from source 3).
std::u16string DetectLocation(RunContext& run);

/// Sets Guangdong as the province and asks the user whether to load its prices.
/// Returns whether the user accepted; what a refusal means is the caller's business.
bool OfferDefaultRegion(RunContext& run);

}  // namespace brevane
