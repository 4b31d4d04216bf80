// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The label widget of the main window.
#include "platform/twip_label.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace brevane {
namespace {

// Text reads well from 4.5:1. The label aims higher, as antialiasing softens the thin
// strokes of small text to a little less than the pen's colour.
constexpr qreal kReadableContrast = 5.0;

qreal RelativeLuminance(const QColor& colour) {
    const auto linear = [](qreal c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

/// `ink`, mixed with white on a dark background or black on a light one in the least of
/// sixteen steps that reads at kReadableContrast. Pure white or black always does.
QColor ReadableOn(const QColor& ink, const QColor& background) {
    const QColor extreme =
        ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background)
            ? QColor(Qt::white)
            : QColor(Qt::black);
    constexpr int kSteps = 16;
    QColor mixed = ink.toRgb();
    for (int step = 1; step <= kSteps && ContrastRatio(mixed, background) < kReadableContrast;
         ++step) {
        const auto mix = [step](int from, int to) { return from + (to - from) * step / kSteps; };
        mixed = QColor(mix(ink.red(), extreme.red()), mix(ink.green(), extreme.green()),
                       mix(ink.blue(), extreme.blue()));
    }
    return mixed;
}

}  // namespace

qreal ContrastRatio(const QColor& a, const QColor& b) {
    const qreal la = RelativeLuminance(a);
    const qreal lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QStringList BreakLabelLines(const QString& text, qreal wrapWidth,
                            const std::function<qreal(const QString&)>& advance) {
    QStringList hardLines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            hardLines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
        } else {
            current.append(c);
        }
    }
    hardLines.append(current);
    if (wrapWidth < 0) {
        return hardLines;
    }

    QStringList lines;
    for (const QString& hard : hardLines) {
        qsizetype lineStart = 0;
        qsizetype pos = 0;  // end of the last word placed on the current line
        while (true) {
            qsizetype wordStart = pos;
            while (wordStart < hard.size() && hard.at(wordStart) == u' ') {
                ++wordStart;
            }
            if (wordStart >= hard.size()) {
                lines.append(hard.mid(lineStart));
                break;
            }
            qsizetype wordEnd = wordStart;
            while (wordEnd < hard.size() && hard.at(wordEnd) != u' ') {
                ++wordEnd;
            }
            // The first word of a line stays on it, with its leading blanks, even when
            // it is too wide: the rectangle cuts it off.
            const bool firstOnLine = pos == lineStart;
            if (!firstOnLine && advance(hard.mid(lineStart, wordEnd - lineStart)) > wrapWidth) {
                lines.append(hard.mid(lineStart, pos - lineStart));
                lineStart = wordStart;
            }
            pos = wordEnd;
        }
    }
    return lines;
}

TwipLabel::TwipLabel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setTransparent(false);
}

void TwipLabel::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    fitToText();
    update();
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TwipLabel::setLinePitch(int pixels) {
    m_pitch = pixels;
    fitToText();
    update();
}

int TwipLabel::linePitch() const {
    if (m_pitch > 0) {
        return m_pitch;
    }
    return static_cast<int>(std::ceil(QFontMetricsF(font()).height()));
}

void TwipLabel::setAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    fitToText();
}

void TwipLabel::setRightAligned(bool rightAligned) {
    m_rightAligned = rightAligned;
    update();
}

void TwipLabel::setTextColour(const QColor& colour) {
    m_colour = colour;
    update();
}

QColor TwipLabel::ink() const {
    const QColor background = palette().color(QPalette::Window);
    if (!m_colour.isValid()) {
        return palette().color(QPalette::WindowText);
    }
    if (ContrastRatio(m_colour, background) >= kReadableContrast) {
        return m_colour;
    }
    return ReadableOn(palette().color(m_link ? QPalette::Link : QPalette::WindowText), background);
}

void TwipLabel::setTransparent(bool transparent) {
    setAutoFillBackground(!transparent);
    update();
}

void TwipLabel::setPlainToolTip(const QString& text) {
    if (text == m_toolTip) {
        return;
    }
    m_toolTip = text;
    if (text.isEmpty()) {
        setToolTip(QString());
    } else {
        // QToolTip takes anything that looks like markup as rich text; an escaped
        // paragraph that keeps white space shows the text exactly as it is.
        QString plain = text;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        setToolTip(QStringLiteral("<p style='white-space:pre'>") + plain.toHtmlEscaped() +
                   QStringLiteral("</p>"));
    }
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void TwipLabel::setLink(bool link) {
    m_link = link;
    if (link) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

QStringList TwipLabel::lines() const {
    const QFontMetricsF metrics(font());
    return BreakLabelLines(m_caption, m_autoSize ? -1.0 : width(),
                           [&metrics](const QString& s) { return metrics.horizontalAdvance(s); });
}

void TwipLabel::fitToText() {
    if (!m_autoSize) {
        return;
    }
    const QFontMetricsF metrics(font());
    const QStringList all = lines();
    qreal widest = 0;
    for (const QString& line : all) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QSize size(static_cast<int>(std::ceil(widest)),
                     linePitch() * static_cast<int>(all.size()));
    if (m_rightAligned) {
        setGeometry(QRect(QPoint(x() + width() - size.width(), y()), size));
    } else {
        resize(size);
    }
}

void TwipLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(ink());
    const QFontMetricsF metrics(font());
    const int pitch = linePitch();
    // The baseline sits where a font of exactly the pitch's height would put it, so a
    // font taller or shorter than the pitch still draws each line inside its own cell.
    const qreal baseline = std::round((pitch - metrics.height()) / 2 + metrics.ascent());
    const QStringList all = lines();
    for (qsizetype i = 0; i < all.size(); ++i) {
        const qreal top = static_cast<qreal>(i) * pitch;
        if (top >= height()) {
            break;
        }
        const qreal x = m_rightAligned ? width() - metrics.horizontalAdvance(all[i]) : 0.0;
        painter.drawText(QPointF(x, top + baseline), all[i]);
    }
}

void TwipLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        fitToText();
    } else if (event->type() == QEvent::PaletteChange) {
        update();  // the ink may change with the background
    }
    QWidget::changeEvent(event);
}

void TwipLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TwipLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

}  // namespace brevane
