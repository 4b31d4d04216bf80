// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The three fonts of the window as GDI fonts at one DPI, with what the label layout needs
// to know of each: its height, its ascent and the advance of a text.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>

#include "core/controls.h"
#include "look/label_layout.h"
#include "win32/handles.h"

namespace brevane::win32 {

struct GdiFont {
    UniqueFont handle;
    /// The height of a line and the ascent as the face designs them, in fractional
    /// pixels: GDI's own metrics are whole pixels, rounded apart, and a line pitch taken
    /// from them would stand a pixel off the Qt window's.
    double height = 0;
    double ascent = 0;
};

/// The fonts of FontFor (look/fonts.h) at `dpi`: the first face of each kind, which the
/// system's font mapper stands in for where it is missing, at its point size. The default
/// font is narrowed where the face's Latin letters run wide, as measured at 96 dpi and
/// then scaled, so that the window at any DPI is the window at 96 dpi scaled, as a Qt
/// window on a screen of that DPI is.
class ControlFonts {
public:
    explicit ControlFonts(int dpi);

    const GdiFont& operator[](FontKind kind) const {
        return m_fonts[static_cast<std::size_t>(kind)];
    }
    /// The width of `text` in the font of `kind`.
    int advance(FontKind kind, std::u16string_view text) const;
    /// advance() as the label layout takes it; valid as long as this object.
    look::Advance advanceIn(FontKind kind) const;
    int dpi() const { return m_dpi; }

private:
    int m_dpi;
    UniqueDc m_dc;  ///< a memory context to measure in
    std::array<GdiFont, 3> m_fonts;
};

}  // namespace brevane::win32
