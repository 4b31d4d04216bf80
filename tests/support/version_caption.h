// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The version part of the window caption, from the project's version.
#pragma once

#include <string>

#include "core/version.h"

namespace brevane::testing {

/// "Brevane v<major>.<minor>.<revision>": the caption shows no patch number.
inline const std::u16string kVersionCaption = [] {
    const std::string ascii = "Brevane v" + std::to_string(kVersionMajor) + "." +
                              std::to_string(kVersionMinor) + "." +
                              std::to_string(kVersionRevision);
    return std::u16string(ascii.begin(), ascii.end());
}();

}  // namespace brevane::testing
