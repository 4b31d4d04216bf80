// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The look layer's values as Qt's: colours, rectangles and text measured in a Qt font.
#pragma once

#include <QColor>
#include <QFontMetricsF>
#include <QRect>

#include "look/colour.h"
#include "look/label_layout.h"
#include "look/units.h"
#include "platform/qt_text.h"

namespace brevane {

inline look::Rgb ToRgb(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return look::Rgb{rgb.red(), rgb.green(), rgb.blue()};
}

inline QColor ToQt(look::Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

inline QRect ToQt(const look::Rect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

inline look::Rect ToLook(const QRect& r) {
    return look::Rect{r.x(), r.y(), r.width(), r.height()};
}

/// Measures text in the font of `metrics`, which must outlive the result.
inline look::Advance AdvanceIn(const QFontMetricsF& metrics) {
    return [&metrics](std::u16string_view text) { return metrics.horizontalAdvance(ToQt(text)); };
}

}  // namespace brevane
