// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as page text for the price cutters, the notice and the core
// text operations. The bytes are read as UTF-8; NUL bytes split off a place name and a
// catalogue, which otherwise are 广东 and the real region catalogue.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "core/texts.h"
#include "location/region_catalogue.h"
#include "prices/notice.h"
#include "prices/site_a.h"
#include "prices/site_b.h"

namespace {

using namespace brevane;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Lenient UTF-8: each byte that does not start a valid sequence gives U+FFFD.
std::u16string Utf16(std::string_view bytes) {
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead < 0x80    ? 1
                           : lead >= 0xF0 ? 4
                           : lead >= 0xE0 ? 3
                           : lead >= 0xC2 ? 2
                                          : 0;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= bytes.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(length);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::u16string Join(const std::vector<std::u16string>& pieces, std::u16string_view separator) {
    std::u16string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        out += i == 0 ? u"" : separator;
        out += pieces[i];
    }
    return out;
}

// The text operations against the standard library's idea of the same thing.
void CheckTextOperations(std::u16string_view text, std::u16string_view what) {
    const std::size_t found = text.find(what);
    Check(text::Find(text, what) == (found == std::u16string_view::npos ? 0 : found + 1));

    const std::u16string mid = text::Mid(text, what.size(), 60);
    const std::size_t from = what.empty() ? 0 : what.size() - 1;
    Check(mid == (from < text.size() ? text.substr(from, 60) : std::u16string_view()));

    const std::u16string deleted = text::DeleteChars(text, what);
    Check(deleted.find_first_of(what) == std::u16string::npos && deleted.size() <= text.size());

    if (what.empty() || text.empty()) {
        return;
    }
    const std::vector<std::u16string> pieces = text::Split(text, what);
    Check(Join(pieces, what) == text);
    Check(text::ReplaceAll(text, what, u"#\u3000") == Join(pieces, u"#\u3000"));
}

void CheckNotice(std::u16string_view page) {
    const std::u16string caption = NoticeCaption(page);
    // An estimate this page did not carry itself is a plain decimal number.
    if (text::Contains(page, texts::kEstimateClose) || text::Contains(page, u"(约")) {
        return;
    }
    for (const auto open : {texts::kFallEstimateOpen, texts::kRiseEstimateOpen}) {
        const std::size_t start = text::Find(caption, open);
        if (start == 0) {
            continue;
        }
        const std::size_t first = start - 1 + open.size();
        const std::size_t end = caption.find(texts::kEstimateClose, first);
        Check(end != std::u16string::npos && end > first);
        for (std::size_t i = first; i < end; ++i) {
            const char16_t c = caption[i];
            Check((c >= u'0' && c <= u'9') || c == u'.' || (c == u'-' && i == first));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string input = Utf16({reinterpret_cast<const char*>(data), size});
    std::vector<std::u16string> parts = text::Split(input, std::u16string(1, u'\0'));
    parts.resize(3);
    const std::u16string& page = parts[0];
    const std::u16string place =
        input.find(u'\0') != std::u16string::npos ? parts[1] : std::u16string(u"广东");
    const std::u16string& catalogue = parts[2].empty() ? RegionCatalogueText() : parts[2];

    if (const auto panel = CutSiteAPanel(page, place, catalogue)) {
        Check(text::Contains(*panel, u"\r\n   0#"));
    }
    if (const auto panel = CutSiteBPanel(page, catalogue)) {
        Check(text::Contains(*panel, std::u16string(texts::kFixed98Row) + u"\r\n   0#"));
    }
    CheckNotice(page);
    CheckTextOperations(page, place);
    return 0;
}
