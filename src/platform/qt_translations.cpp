// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Loading Qt's own translations for the user's UI languages.
#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace brevane {

QTranslator* InstallQtTranslations(const QLocale& locale) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // The languages are tried in the user's order; English has a file of its own, so a
    // user who puts English first gets Qt's English texts, not a later language's.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace brevane
