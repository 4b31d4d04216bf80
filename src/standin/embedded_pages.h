// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in sites' page files, compiled into the library.
#pragma once

#include <span>
#include <string_view>

namespace brevane::standin::detail {

struct EmbeddedPage {
    std::string_view name;   ///< path below src/standin/sites, e.g. "site_a/guangdong.shtml"
    std::string_view bytes;  ///< the file as stored, in its own encoding
};

std::span<const EmbeddedPage> EmbeddedPages();

}  // namespace brevane::standin::detail
