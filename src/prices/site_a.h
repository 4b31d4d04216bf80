// Price site A: the province and city panels of column I and II.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/run_context.h"

namespace brevane {

/// The four-line panel text (92#, 95#, 98#, 0#) cut from a site A page after the
/// source line that names `placeName`, or nothing when a grade mark is missing.
std::optional<std::u16string> CutSiteAPanel(std::u16string_view pageText,
                                            std::u16string_view placeName,
                                            std::u16string_view catalogue);

/// Province page into Lab_QiYouJiaGe.
void Load_QiYouJiaGe(RunContext& run);
/// City page into Lab_QiYouJiaGe_2; hides column II when no city is known.
void Load_QiYouJiaGe_2(RunContext& run);

}  // namespace brevane
