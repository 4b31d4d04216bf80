// Rules shared by the four price panel labels.
#include "prices/panel.h"

#include "app/text.h"
#include "app/texts.h"

namespace brevane {

bool CountsAsLoaded(std::u16string_view caption) {
    return text::Contains(caption, texts::kLoadedMark);
}

void HideUnlessLoaded(WindowModel& window, Control label) {
    if (!CountsAsLoaded(window.caption(label))) {
        window.setVisible(label, false);
    }
}

}  // namespace brevane
