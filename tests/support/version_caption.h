// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The version part of the window caption, as the build names the project's version.
#pragma once

#include <string>
#include <string_view>

namespace brevane::testing {

/// "Brevane v<major>.<minor>.<revision>": the caption shows the project version's first,
/// second and fourth numbers, never its third. Written out by the build from the project
/// version itself, so that the program's own way from one to the other is checked.
inline const std::u16string kVersionCaption = [] {
    constexpr std::string_view ascii = BREVANE_TEST_VERSION_CAPTION;
    return std::u16string(ascii.begin(), ascii.end());
}();

}  // namespace brevane::testing
