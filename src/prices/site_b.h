// Price site B: the province and city panels beneath site A's.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/run_context.h"

namespace brevane {

/// The panel text cut from a site B page after "(元/升) " CR LF, with the fixed 98#
/// row before the 0# row, or nothing when the excerpt holds no "0#".
std::optional<std::u16string> CutSiteBPanel(std::u16string_view pageText,
                                            std::u16string_view catalogue);

/// Province page into Lab_YouJia; shows NetError when both province panels failed.
void Load_YouJia(RunContext& run);
/// City page into Lab_YouJia_2.
void Load_YouJia_2(RunContext& run);

}  // namespace brevane
