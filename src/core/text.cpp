// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Exact text operations on UTF-16 text.
#include "core/text.h"

#include <algorithm>
#include <bitset>
#include <memory>

namespace brevane::text {

std::size_t Find(std::u16string_view text, std::u16string_view what) {
    const std::size_t at = text.find(what);
    return at == std::u16string_view::npos ? 0 : at + 1;
}

std::u16string Mid(std::u16string_view text, std::size_t start, std::size_t count) {
    const std::size_t from = start == 0 ? 0 : start - 1;
    if (from >= text.size()) {
        return {};
    }
    return std::u16string(text.substr(from, count));
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view what,
                          std::u16string_view with) {
    std::u16string out;
    if (what.empty()) {
        return std::u16string(text);
    }
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::u16string_view::npos;
         at = text.find(what, from)) {
        out.append(text.substr(from, at - from)).append(with);
        from = at + what.size();
    }
    out.append(text.substr(from));
    return out;
}

std::vector<std::u16string> Split(std::u16string_view text, std::u16string_view separator) {
    std::vector<std::u16string> pieces;
    if (text.empty()) {
        return pieces;
    }
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::u16string_view::npos;
         at = text.find(separator, from)) {
        pieces.emplace_back(text.substr(from, at - from));
        from = at + separator.size();
    }
    pieces.emplace_back(text.substr(from));
    return pieces;
}

std::u16string DeleteChars(std::u16string_view text, std::u16string_view set) {
    // One bit per code unit: the set is looked up in constant time, so a long text
    // costs one pass whatever the size of the set.
    auto members = std::make_unique<std::bitset<0x10000>>();
    for (char16_t c : set) {
        members->set(c);
    }
    std::u16string out;
    out.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [&](char16_t c) { return !members->test(c); });
    return out;
}

std::u16string FromInt(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace brevane::text
