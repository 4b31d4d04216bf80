// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Resetting an accepted TCP connection from inside a request handler.
#pragma once

namespace brevane::standin {

/// Finds this process's socket whose local port is `localPort` and whose peer port is
/// `remotePort`, and resets the connection at once (the peer sees a TCP reset, not an
/// orderly close). The descriptor stays valid, so its owner can still close it; its
/// writes fail from now on. Returns false when no such socket exists.
bool ResetConnection(int localPort, int remotePort);

}  // namespace brevane::standin
