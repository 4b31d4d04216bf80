// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the window tests: pixels of a grabbed window and the modal box.
#pragma once

#include <QApplication>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace brevane::testing {

/// For each column x in [left, right): whether any pixel of rows [top, bottom) is
/// clearly darker than `background` (text ink).
inline std::vector<bool> InkColumns(const QImage& image, int left, int right, int top, int bottom,
                                    QColor background) {
    std::vector<bool> ink;
    for (int x = left; x < right; ++x) {
        bool found = false;
        for (int y = top; y < bottom && !found; ++y) {
            found = qGray(image.pixel(x, y)) < qGray(background.rgb()) - 80;
        }
        ink.push_back(found);
    }
    return ink;
}

/// Ink columns as a string, '#' for ink and '.' for none, so a mismatch reads well.
inline std::string InkString(const std::vector<bool>& ink) {
    std::string out;
    for (bool b : ink) {
        out += b ? '#' : '.';
    }
    return out;
}

/// Calls `action` with the modal widget as soon as one is open (polled on a timer).
inline void WhenModalOpens(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

}  // namespace brevane::testing
