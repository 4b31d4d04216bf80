// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Exact text operations on UTF-16 text: one character is one code unit, positions
// count from 1 and a search that finds nothing gives 0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brevane::text {

/// 1-based position of the first occurrence of `what` in `text`, or 0 when absent.
/// An empty `what` is found at position 1.
std::size_t Find(std::u16string_view text, std::u16string_view what);

inline bool Contains(std::u16string_view text, std::u16string_view what) {
    return Find(text, what) != 0;
}

/// At most `count` characters of `text` from the 1-based position `start` on; fewer
/// when the text ends sooner, empty when `start` lies beyond its end. A start below 1
/// counts as 1.
std::u16string Mid(std::u16string_view text, std::size_t start, std::size_t count);

/// Every occurrence of `what` (non-empty), left to right without overlap, replaced by `with`.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view what,
                          std::u16string_view with);

/// The pieces of `text` between occurrences of `separator` (non-empty). An empty text
/// gives no piece at all; a text without the separator gives itself as the one piece.
std::vector<std::u16string> Split(std::u16string_view text, std::u16string_view separator);

/// `text` with every character that occurs in `set` removed.
std::u16string DeleteChars(std::u16string_view text, std::u16string_view set);

/// `text` as UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
/// UTF-8 `bytes` as UTF-16; each byte that is not part of a well-formed sequence becomes
/// U+FFFD.
std::u16string FromUtf8(std::string_view bytes);

/// Decimal digits of a non-negative number, without sign or leading zeros.
std::u16string FromInt(int value);

}  // namespace brevane::text
