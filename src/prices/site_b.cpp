// (in progress)
#include "prices/site_b.h"
namespace brevane {
std::optional<std::u16string> CutSiteBPanel(std::u16string_view, std::u16string_view) {
    return {};
}
void Load_YouJia(RunContext&) {}
void Load_YouJia_2(RunContext&) {}
}  // namespace brevane
