// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The error codes the user is shown: the program's major version and a two-digit code.
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"
#include "core/version.h"

namespace brevane {

/// The major version number followed by the two-digit code, e.g. "1801".
inline std::u16string ErrorCode(std::u16string_view code) {
    return text::FromInt(kVersionMajor) + std::u16string(code);
}

}  // namespace brevane
