// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The brevane program: one window that shows today's fuel prices for the user's place.
#include <QApplication>

#include "core/web_addresses.h"
#include "platform/program.h"
#include "platform/qt_helper_channel.h"
#include "platform/qt_translations.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    brevane::InstallQtTranslations();
    brevane::Program program(brevane::DefaultWebAddresses(),
                             {.program = brevane::FindPageHelper()});
    program.start();
    return QApplication::exec();
}
