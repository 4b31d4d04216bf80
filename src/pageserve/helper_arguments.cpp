// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's command line, as the window writes it.
#include "pageserve/helper_arguments.h"

#include "pageproto/page_protocol.h"

namespace brevane::pageserve {

HelperArguments ReadHelperArguments(std::span<const std::string_view> arguments) {
    HelperArguments read;
    for (const std::string_view argument : arguments) {
        if (argument.starts_with(pageproto::kVersionArgumentPrefix)) {
            read.windowVersion = argument.substr(pageproto::kVersionArgumentPrefix.size());
        } else if (argument == pageproto::kLoopbackOnlyArgument) {
            read.loopbackOnly = true;
        } else if (argument == pageproto::kUnsandboxedAsRootArgument) {
            read.unsandboxedAsRoot = true;
        } else {
            read.rest.emplace_back(argument);
        }
    }
    return read;
}

}  // namespace brevane::pageserve
