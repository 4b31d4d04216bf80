// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A page's browser on the system's web browser control, hosted in a hidden window.
#pragma once

#include "controlpage/control_page.h"

namespace brevane::winpages {

/// Makes the system's web browser control (CLSID_WebBrowser) in a hidden window of the
/// calling thread, which must be a single-threaded apartment with OLE initialised and a
/// message loop; or the sentence that says why it cannot be made.
controlpage::MadeBrowser MakeWebBrowser(controlpage::BrowserEvents& events);

}  // namespace brevane::winpages
