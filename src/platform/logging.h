// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's log categories. All are off unless the standard QT_LOGGING_RULES
// turns them on, e.g. QT_LOGGING_RULES="brevane.*=true".
#pragma once

#include <QLoggingCategory>

namespace brevane {

/// One line per page load: the control, the address, the outcome, the HTTP status as
/// far as the engine tells it, the time taken and the length of the text read.
Q_DECLARE_LOGGING_CATEGORY(lcPages)
/// What the page helper writes on its standard error: the browser engine's messages.
Q_DECLARE_LOGGING_CATEGORY(lcHelper)
/// The run: which marker or mark a cutter looked for and did not find.
Q_DECLARE_LOGGING_CATEGORY(lcRun)

}  // namespace brevane
