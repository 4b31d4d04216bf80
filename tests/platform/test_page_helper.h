// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper of this build, as the Qt tests start it.
#pragma once

#include <QString>

#include "platform/qt_helper_channel.h"

namespace brevane {

/// The build's page helper, limited to loopback; it runs without the engine's sandbox
/// where the tests run as root.
inline PageHelperLaunch TestPageHelper() {
    return {.program = QStringLiteral(BREVANE_PAGE_HELPER),
            .loopbackOnly = true,
            .unsandboxedAsRoot = true};
}

}  // namespace brevane
