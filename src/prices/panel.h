// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Rules shared by the price loaders: the excerpt behind a marker, the missed marks, and
// how a panel label shows its cut.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_context.h"

namespace brevane {

/// The marks a cutter looked for in a page and did not find, in the order it looked.
using MissedMarks = std::vector<std::u16string>;

/// The `length` characters of `pageText` that follow the first `marker`. Without the
/// marker the search gives position 0, and the excerpt starts where it would have had
/// the marker stood at position 0: `marker.size() - 1` characters into the text. The
/// marker is then noted in `missed`, if given.
std::u16string ExcerptAfter(std::u16string_view pageText, std::u16string_view marker,
                            std::size_t length, MissedMarks* missed);

/// A panel caption counts as loaded when it contains "92" anywhere.
bool CountsAsLoaded(std::u16string_view caption);

/// Notes in the run's log each mark the cut for `label` missed.
void NoteMissed(RunContext& run, Control label, const MissedMarks& missed);

/// Sets `panel` as the caption of `label` when there is one, notes the marks the cut
/// missed, and hides `label` unless its caption (new or old) counts as loaded.
void ShowPanel(RunContext& run, Control label, const std::optional<std::u16string>& panel,
               const MissedMarks& missed);

}  // namespace brevane
