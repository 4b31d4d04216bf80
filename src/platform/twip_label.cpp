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
#include <optional>

#include "look/colour.h"
#include "look/label_layout.h"
#include "platform/qt_look.h"

namespace brevane {

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
    const QColor system =
        palette().color(m_colour.isValid() && m_link ? QPalette::Link : QPalette::WindowText);
    const std::optional<look::Rgb> fixed =
        m_colour.isValid() ? std::optional(ToRgb(m_colour)) : std::nullopt;
    return ToQt(look::LabelInk(fixed, ToRgb(system), ToRgb(palette().color(QPalette::Window))));
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

std::vector<std::u16string> TwipLabel::layoutLines() const {
    const QFontMetricsF metrics(font());
    return look::LabelLines(m_caption.toStdU16String(), m_autoSize, width(), AdvanceIn(metrics));
}

QStringList TwipLabel::lines() const {
    QStringList out;
    for (const std::u16string& line : layoutLines()) {
        out.append(ToQt(line));
    }
    return out;
}

void TwipLabel::fitToText() {
    if (!m_autoSize) {
        return;
    }
    const QFontMetricsF metrics(font());
    const look::Rect fitted = look::AutoSizedRect(ToLook(geometry()), layoutLines(), linePitch(),
                                                  m_rightAligned, AdvanceIn(metrics));
    if (m_rightAligned) {
        setGeometry(ToQt(fitted));
    } else {
        resize(fitted.width, fitted.height);
    }
}

void TwipLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(ink());
    const QFontMetricsF metrics(font());
    const std::vector<look::PlacedLine> placed =
        look::PlaceLines(layoutLines(), look::Size{width(), height()}, linePitch(), m_rightAligned,
                         metrics.height(), metrics.ascent(), AdvanceIn(metrics));
    for (const look::PlacedLine& line : placed) {
        painter.drawText(QPointF(line.x, line.baseline), ToQt(line.text));
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
