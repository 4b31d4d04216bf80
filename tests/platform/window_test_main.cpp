// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Test program of the window, its label widget, the Qt ports and the program: one
// offscreen QApplication for all cases.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (as the build does to register them) needs no application, and
    // no display.
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }

    QApplication app(argc, argv);
    // Cases close windows while local event loops run; only the program's own cases
    // let the last closed window end the application.
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
