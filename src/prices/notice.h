// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The latest price-adjustment notice of site A's province page, with its estimate
// for a 40-litre tank.
#pragma once

#include <string>
#include <string_view>

#include "core/run_context.h"
#include "prices/panel.h"

namespace brevane {

/// The notice label's caption for a province page text: the notice with its
/// estimate, the notice alone, or the disclaimer. The marks it did not find are added
/// to `missed` when given.
std::u16string NoticeCaption(std::u16string_view pageText, MissedMarks* missed = nullptr);

/// Shows the latest price change of site A's province page, with what it means for a
/// 40-litre tank, below the table; or the disclaimer when the page has none. Reads the
/// page column I loaded, without a new request.
void Load_Replace(RunContext& run);

}  // namespace brevane
