// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as a page's HTML, through the body-text reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pagetext/page_text.h"

namespace {

// Whatever the page, every line break is CR LF and surrogates come in pairs.
bool WellFormed(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
        if (c == u'\r') {
            if (next != u'\n') {
                return false;
            }
            ++i;
        } else if (c >= 0xD800 && c <= 0xDBFF) {
            if (next < 0xDC00 || next > 0xDFFF) {
                return false;
            }
            ++i;
        } else if (c == u'\n' || (c >= 0xDC00 && c <= 0xDFFF)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    if (!WellFormed(brevane::PageTextFromHtml(html))) {
        std::abort();
    }
    return 0;
}
