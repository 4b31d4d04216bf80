// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's command line, as the window writes it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brevane::pageserve {

struct HelperArguments {
    /// What the window named after pageproto::kVersionArgumentPrefix, if anything.
    std::optional<std::string> windowVersion;
    bool loopbackOnly = false;
    bool unsandboxedAsRoot = false;
    /// Every other argument, in order, for the engine.
    std::vector<std::string> rest;
};

/// Sorts the arguments after the program's name into the window's and the engine's.
HelperArguments ReadHelperArguments(std::span<const std::string_view> arguments);

}  // namespace brevane::pageserve
