// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A label that lays out and paints its caption itself: plain text, hard line breaks,
// wrapping at blanks, an optional fixed line pitch, auto-size, transparency, by the
// rules of the look layer (look/label_layout.h, look/colour.h).
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

namespace brevane {

/// Draws its caption as plain text, never as markup. Every line sits in a cell of the
/// line pitch, so labels of one pitch line up row by row whatever the font's own line
/// height. A label that is not auto-sized wraps inside its rectangle and cuts off what
/// falls outside; an auto-sized one takes the size of its text, breaking lines only
/// where the caption does, and keeps its top-left corner, or its top-right corner when
/// right-aligned, so right-aligned text stays flush with the edge it was given.
///
/// A fixed text colour is drawn as it is wherever it reads at 5:1 against the palette's
/// Window colour, as on the light schemes it was chosen for. On a background where it
/// does not, as on a dark scheme, the label takes the palette's colour for its kind
/// instead (Link for a link, else WindowText), made lighter or darker just as far as it
/// needs to read at 5:1, so that even antialiased strokes keep 4.5:1. The colour is
/// chosen at each paint, so the label follows palette changes while it runs.
///
/// Screen readers read it as static text named by its caption and described by its
/// tooltip, or as a link that can be pressed (control_accessibility.h); a change of
/// either text is announced.
class TwipLabel : public QWidget {
    Q_OBJECT

public:
    explicit TwipLabel(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    /// Height of one line in pixels; 0 uses the font's own height.
    void setLinePitch(int pixels);
    int linePitch() const;

    void setAutoSize(bool autoSize);
    void setRightAligned(bool rightAligned);
    /// An invalid colour draws in the palette's text colour.
    void setTextColour(const QColor& colour);
    /// A transparent label draws only its text; an opaque one fills its rectangle first.
    void setTransparent(bool transparent);

    /// Sets the tooltip shown over the whole rectangle, as plain text.
    void setPlainToolTip(const QString& text);
    QString plainToolTip() const { return m_toolTip; }

    /// A link label shows the pointing hand and reads as a link that can be pressed.
    void setLink(bool link);
    bool isLink() const { return m_link; }
    /// Acts as a click of the user: emits clicked().
    void click() { emit clicked(); }

    /// The lines as they are drawn, after wrapping; line i occupies the cell
    /// [i * linePitch(), (i + 1) * linePitch()).
    QStringList lines() const;

signals:
    /// A left-button press and release, both on the label.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fitToText();
    /// The colour the text is drawn in on the current palette.
    QColor ink() const;
    std::vector<std::u16string> layoutLines() const;

    QString m_caption;
    QString m_toolTip;
    QColor m_colour;
    int m_pitch = 0;
    bool m_autoSize = false;
    bool m_rightAligned = false;
    bool m_link = false;
    bool m_pressed = false;
};

}  // namespace brevane
