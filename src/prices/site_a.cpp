// (in progress)
#include "prices/site_a.h"
namespace brevane {
std::optional<std::u16string> CutSiteAPanel(std::u16string_view, std::u16string_view,
                                            std::u16string_view) {
    return {};
}
void Load_QiYouJiaGe(RunContext&) {}
void Load_QiYouJiaGe_2(RunContext&) {}
}  // namespace brevane
