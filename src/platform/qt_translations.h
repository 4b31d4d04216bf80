// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own translations: the texts Qt itself draws (standard buttons, context menus)
// in the user's language.
#pragma once

#include <QLocale>

class QTranslator;

namespace brevane {

/// Installs Qt's base translation (qtbase_*.qm from Qt's translations folder) for the
/// first of `locale`'s UI languages that has one. The program's own texts are not
/// translated. Returns the installed translator, owned by the application (deleting it
/// uninstalls it), or null where no translation file is found. Needs the application.
QTranslator* InstallQtTranslations(const QLocale& locale = QLocale());

}  // namespace brevane
