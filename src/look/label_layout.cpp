// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The label's line layout.
#include "look/label_layout.h"

#include <algorithm>
#include <cmath>

namespace brevane::look {

std::vector<std::u16string> BreakLabelLines(std::u16string_view text, double wrapWidth,
                                            const Advance& advance) {
    std::vector<std::u16string> hardLines;
    std::u16string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            hardLines.push_back(std::move(current));
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else {
            current.push_back(c);
        }
    }
    hardLines.push_back(std::move(current));
    if (wrapWidth < 0) {
        return hardLines;
    }

    std::vector<std::u16string> lines;
    for (const std::u16string& hard : hardLines) {
        const std::u16string_view view = hard;
        std::size_t lineStart = 0;
        std::size_t pos = 0;  // end of the last word placed on the current line
        while (true) {
            std::size_t wordStart = pos;
            while (wordStart < view.size() && view[wordStart] == u' ') {
                ++wordStart;
            }
            if (wordStart >= view.size()) {
                lines.emplace_back(view.substr(lineStart));
                break;
            }
            std::size_t wordEnd = wordStart;
            while (wordEnd < view.size() && view[wordEnd] != u' ') {
                ++wordEnd;
            }
            // The first word of a line stays on it, with its leading blanks, even when
            // it is too wide: the rectangle cuts it off.
            const bool firstOnLine = pos == lineStart;
            if (!firstOnLine && advance(view.substr(lineStart, wordEnd - lineStart)) > wrapWidth) {
                lines.emplace_back(view.substr(lineStart, pos - lineStart));
                lineStart = wordStart;
            }
            pos = wordEnd;
        }
    }
    return lines;
}

std::vector<std::u16string> LabelLines(std::u16string_view caption, bool autoSize, int width,
                                       const Advance& advance) {
    return BreakLabelLines(caption, autoSize ? -1.0 : static_cast<double>(width), advance);
}

int LinePitch(FontKind font, int dpi, double fontHeight) {
    if (font == FontKind::Panel) {
        return TwipsToPixels(kPanelLinePitch, dpi);
    }
    return static_cast<int>(std::ceil(fontHeight));
}

Rect AutoSizedRect(const Rect& given, const std::vector<std::u16string>& lines, int pitch,
                   bool rightAligned, const Advance& advance) {
    double widest = 0;
    for (const std::u16string& line : lines) {
        widest = std::max(widest, advance(line));
    }
    const int width = static_cast<int>(std::ceil(widest));
    const int height = pitch * static_cast<int>(lines.size());
    return Rect{rightAligned ? given.right() - width : given.left, given.top, width, height};
}

std::vector<PlacedLine> PlaceLines(const std::vector<std::u16string>& lines, Size size, int pitch,
                                   bool rightAligned, double fontHeight, double fontAscent,
                                   const Advance& advance) {
    const auto baseline = static_cast<int>(std::round((pitch - fontHeight) / 2 + fontAscent));
    std::vector<PlacedLine> placed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto top = static_cast<long long>(i) * pitch;
        if (top >= size.height) {
            break;
        }
        placed.push_back(PlacedLine{
            .text = lines[i],
            .x = rightAligned ? size.width - advance(lines[i]) : 0.0,
            .baseline = static_cast<int>(top) + baseline,
        });
    }
    return placed;
}

}  // namespace brevane::look
