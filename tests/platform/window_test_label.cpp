// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The label widget: the line pitch, auto-size, clipping and transparency.
#include "platform/twip_label.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "platform/oil_price_window.h"
#include "window_test_support.h"

namespace brevane {
namespace {

using namespace testing;

class LabelTest : public ::testing::Test {
protected:
    LabelTest() {
        host.resize(300, 200);
        host.setAutoFillBackground(true);
        label = new TwipLabel(&host);
        label->setFont(FontFor(FontKind::Panel));
        label->setLinePitch(20);
    }

    /// Rows of the label's area (in the host) that hold ink.
    std::vector<int> InkRows() {
        const QImage image = host.grab().toImage();
        const QColor background = host.palette().color(QPalette::Window);
        std::vector<int> rows;
        for (int y = 0; y < image.height(); ++y) {
            const auto ink = InkColumns(image, 0, image.width(), y, y + 1, background);
            if (std::find(ink.begin(), ink.end(), true) != ink.end()) {
                rows.push_back(y);
            }
        }
        return rows;
    }

    QWidget host;
    TwipLabel* label;
};

TEST_F(LabelTest, PanelLinesSitInCellsOfTheLinePitch) {
    label->setGeometry(10, 10, 200, 120);
    label->setCaption(QStringLiteral("汽油\r\n汽油\r\n汽油\r\n汽油\r\n汽油"));
    const std::vector<int> rows = InkRows();
    ASSERT_FALSE(rows.empty());
    // Every inked row falls inside one of the five 20-pixel cells, and each cell has ink.
    for (int cell = 0; cell < 5; ++cell) {
        const int top = 10 + cell * 20;
        EXPECT_TRUE(
            std::any_of(rows.begin(), rows.end(), [&](int y) { return y >= top && y < top + 20; }))
            << "cell " << cell;
    }
    for (int y : rows) {
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 110);
    }
    // The same text drawn in each cell looks the same: the offsets repeat on the pitch.
    const int first = rows.front() - 10;
    EXPECT_EQ(
        std::count_if(rows.begin(), rows.end(), [&](int y) { return (y - 10) % 20 == first; }), 5);
}

TEST_F(LabelTest, TextOutsideTheRectangleIsCutOff) {
    label->setGeometry(10, 10, 40, 30);
    label->setCaption(QStringLiteral("汽油汽油汽油汽油\r\n汽油\r\n汽油"));
    const QImage image = host.grab().toImage();
    const QColor background = host.palette().color(QPalette::Window);
    const auto right = InkColumns(image, 50, 300, 0, 200, background);
    const auto below = InkColumns(image, 0, 300, 40, 200, background);
    EXPECT_EQ(std::count(right.begin(), right.end(), true), 0);
    EXPECT_EQ(std::count(below.begin(), below.end(), true), 0);
}

TEST_F(LabelTest, AutoSizeKeepsTheTopLeftCornerAndFitsTheText) {
    label->setGeometry(30, 40, 5, 5);
    label->setAutoSize(true);
    label->setCaption(QStringLiteral("汽油汽油 汽油\r\n汽"));
    EXPECT_EQ(label->pos(), QPoint(30, 40));
    EXPECT_EQ(label->height(), 40);
    EXPECT_EQ(label->width(), 14 * 4 + 14 * 2 + QFontMetrics(label->font()).horizontalAdvance(' '));
    label->setCaption(QString());
    EXPECT_EQ(label->size(), QSize(0, 20));
}

TEST_F(LabelTest, TransparentLabelsLetWhatLiesBeneathShowOpaqueOnesCoverIt) {
    auto* beneath = new TwipLabel(&host);
    beneath->setFont(FontFor(FontKind::Panel));
    beneath->setGeometry(10, 10, 100, 20);
    beneath->setCaption(QStringLiteral("汽油汽油"));
    label->setGeometry(10, 10, 100, 20);
    label->raise();
    const QColor background = host.palette().color(QPalette::Window);
    auto inked = [&] {
        const auto ink = InkColumns(host.grab().toImage(), 10, 110, 10, 30, background);
        return std::count(ink.begin(), ink.end(), true) > 0;
    };
    EXPECT_FALSE(inked());
    label->setTransparent(true);
    EXPECT_TRUE(inked());
}

}  // namespace
}  // namespace brevane
