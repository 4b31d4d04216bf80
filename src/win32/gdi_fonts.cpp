// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's GDI fonts.
#include "win32/gdi_fonts.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "look/fonts.h"
#include "win32/wide.h"

namespace brevane::win32 {
namespace {

UniqueFont MakeFont(std::u16string_view face, int pixelHeight, int weight) {
    LOGFONTW font{};
    // A negative height asks for the em height, as a point size does.
    font.lfHeight = -pixelHeight;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    const std::wstring name = ToWide(face.substr(0, LF_FACESIZE - 1));
    std::copy(name.begin(), name.end(), font.lfFaceName);
    return UniqueFont(CreateFontIndirectW(&font));
}

int Advance(HDC dc, HFONT font, std::u16string_view text) {
    const Selected selected(dc, font);
    SIZE size{};
    const std::wstring wide = ToWide(text);
    // GDI measures at most INT_MAX units; no caption comes near.
    const int count = static_cast<int>(std::min<std::size_t>(wide.size(), INT_MAX));
    return GetTextExtentPoint32W(dc, wide.c_str(), count, &size) ? size.cx : 0;
}

/// `font` with its design metrics, read from the face at its own em size.
GdiFont Realised(UniqueFont font, std::u16string_view face, int pixelHeight, int weight, HDC dc) {
    GdiFont realised;
    realised.handle = std::move(font);
    if (!realised.handle) {
        return realised;
    }
    const Selected selected(dc, realised.handle.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    realised.height = metrics.tmHeight;
    realised.ascent = metrics.tmAscent;
    OUTLINETEXTMETRICW outline{};
    outline.otmSize = sizeof(outline);
    // A face's outline metrics do not fit the structure when it has long names; its
    // whole-pixel metrics then stand.
    if (GetOutlineTextMetricsW(dc, sizeof(outline), &outline) == 0 || outline.otmEMSquare == 0) {
        return realised;
    }
    const auto em = static_cast<int>(outline.otmEMSquare);
    const UniqueFont unscaled = MakeFont(face, em, weight);
    TEXTMETRICW design{};
    if (unscaled) {
        const Selected atEm(dc, unscaled.get());
        GetTextMetricsW(dc, &design);
    }
    if (design.tmHeight > 0) {
        realised.height = static_cast<double>(design.tmHeight) * pixelHeight / em;
        realised.ascent = static_cast<double>(design.tmAscent) * pixelHeight / em;
    }
    return realised;
}

}  // namespace

ControlFonts::ControlFonts(int dpi) : m_dpi(dpi), m_dc(CreateCompatibleDC(nullptr)) {
    for (const FontKind kind : {FontKind::Default, FontKind::Panel, FontKind::Notice}) {
        const look::FontChoice choice = look::FontFor(kind);
        const std::u16string_view face = choice.families.front();
        int pixels = look::PointsToPixels(choice.pointSize, dpi);
        if (kind == FontKind::Default) {
            const int basePixels = look::PointsToPixels(choice.pointSize, look::kBaseDpi);
            const UniqueFont probe = MakeFont(face, basePixels, choice.weight);
            const std::optional<int> narrowed = look::NarrowedPixelSize(
                Advance(m_dc.get(), probe.get(), std::u16string(1, look::kIdeographProbe)),
                Advance(m_dc.get(), probe.get(), std::u16string(1, look::kLatinProbe)));
            if (narrowed) {
                pixels = static_cast<int>(std::lround(*narrowed * dpi / double(look::kBaseDpi)));
            }
        }
        m_fonts[static_cast<std::size_t>(kind)] = Realised(MakeFont(face, pixels, choice.weight),
                                                           face, pixels, choice.weight, m_dc.get());
    }
}

int ControlFonts::advance(FontKind kind, std::u16string_view text) const {
    return Advance(m_dc.get(), (*this)[kind].handle.get(), text);
}

look::Advance ControlFonts::advanceIn(FontKind kind) const {
    return
        [this, kind](std::u16string_view text) { return static_cast<double>(advance(kind, text)); };
}

}  // namespace brevane::win32
