// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Price site A: the province and city panels of columns I and II.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/run_context.h"
#include "prices/panel.h"

namespace brevane {

/// The four-line panel text (92#, 95#, 98#, 0#) cut from a site A page after the
/// source line that names `placeName`, or nothing when a grade mark is missing. The
/// marks it did not find are added to `missed` when given.
std::optional<std::u16string> CutSiteAPanel(std::u16string_view pageText,
                                            std::u16string_view placeName,
                                            std::u16string_view catalogue,
                                            MissedMarks* missed = nullptr);

/// Fills column I with the province's 92# to 0# prices from site A, or hides it.
/// The addresses of site A's province page and, when a city is known, its city page.
std::u16string SiteAProvinceAddress(const RunContext& run);
std::optional<std::u16string> SiteACityAddress(const RunContext& run);

void Load_QiYouJiaGe(RunContext& run);
/// Fills column II with the city's 92# to 0# prices from site A; hides the whole
/// column when no city is known.
void Load_QiYouJiaGe_2(RunContext& run);

}  // namespace brevane
