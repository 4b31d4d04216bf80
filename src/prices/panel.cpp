// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Rules shared by the price loaders.
#include "prices/panel.h"

#include "core/text.h"
#include "core/texts.h"

namespace brevane {

std::u16string ExcerptAfter(std::u16string_view pageText, std::u16string_view marker,
                            std::size_t length, MissedMarks* missed) {
    const std::size_t p = text::Find(pageText, marker);
    if (p == 0 && missed != nullptr) {
        missed->emplace_back(marker);
    }
    return text::Mid(pageText, p + marker.size(), length);
}

bool CountsAsLoaded(std::u16string_view caption) {
    return text::Contains(caption, texts::kLoadedMark);
}

void NoteMissed(RunContext& run, Control label, const MissedMarks& missed) {
    for (const std::u16string& mark : missed) {
        run.log.Missed(SpecOf(label).name, mark);
    }
}

void ShowPanel(RunContext& run, Control label, const std::optional<std::u16string>& panel,
               const MissedMarks& missed) {
    NoteMissed(run, label, missed);
    if (panel) {
        run.window.setCaption(label, *panel);
    }
    if (!CountsAsLoaded(run.window.caption(label))) {
        run.window.setVisible(label, false);
    }
}

}  // namespace brevane
