// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Price site B: the province and city panels beneath site A's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/run_context.h"
#include "prices/panel.h"

namespace brevane {

/// The panel text cut from a site B page after "(元/升) " CR LF, with the fixed 98#
/// row before the 0# row, or nothing when the excerpt holds no "0#". The marks it did
/// not find are added to `missed` when given.
std::optional<std::u16string> CutSiteBPanel(std::u16string_view pageText,
                                            std::u16string_view catalogue,
                                            MissedMarks* missed = nullptr);

/// Fills the label beneath column I with the province's 89# to 0# prices from site B
/// (it shows in row 1, and in every row when site A's panel is hidden); shows the error
/// panel at once when neither province panel has prices.
/// The addresses of site B's province and city pages.
std::u16string SiteBProvinceAddress(const RunContext& run);
std::u16string SiteBCityAddress(const RunContext& run);

void Load_YouJia(RunContext& run);
/// Fills the label beneath column II with the city's prices from site B.
void Load_YouJia_2(RunContext& run);

}  // namespace brevane
