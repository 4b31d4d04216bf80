// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A page answer written in one line, as tests expect them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "pageproto/page_protocol.h"

namespace brevane::testing {

inline pageproto::Answer Page(std::uint32_t id, pageproto::PageNumber page,
                              pageproto::Outcome outcome, std::u16string detail,
                              std::u16string text = {}) {
    return pageproto::PageAnswer{.id = id,
                                 .page = page,
                                 .outcome = outcome,
                                 .detail = std::move(detail),
                                 .text = std::move(text)};
}

}  // namespace brevane::testing
