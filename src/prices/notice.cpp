// (in progress)
#include "prices/notice.h"
namespace brevane {
std::u16string NoticeCaption(std::u16string_view) {
    return {};
}
void Load_Replace(RunContext&) {}
}  // namespace brevane
