// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Core text as the W APIs' text and back: wchar_t is UTF-16 on Windows, so each is the
// other unit for unit.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brevane::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t holds one UTF-16 code unit");

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

/// UTF-8 as UTF-16; invalid sequences become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

/// A window's text, whole.
std::u16string WindowText(HWND window);

}  // namespace brevane::win32
