// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's log categories: only warnings and worse unless the rules ask for more.
#include "platform/logging.h"

namespace brevane {

Q_LOGGING_CATEGORY(lcPages, "brevane.pages", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHelper, "brevane.helper", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRun, "brevane.run", QtWarningMsg)

}  // namespace brevane
