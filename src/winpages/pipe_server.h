// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows page helper on its pipes: the window's requests in, the answers out.
#pragma once

#include <windows.h>

#include <memory>

#include "controlpage/control_page.h"
#include "pageserve/helper_arguments.h"
#include "pageserve/page_service.h"
#include "winpages/task_queue.h"

namespace brevane::winpages {

/// Serves the window on `input` and `output` until the input ends, the output breaks, or
/// the service has stopped and everything it queued is written. Reading and writing block,
/// so each has a thread of its own, and neither a window that writes slowly nor one that
/// reads slowly holds up the rest: the service, its time budget and the engine's answers
/// are all handled on the calling thread, from `main`.
void Serve(pageserve::PageService& service, const std::shared_ptr<TaskQueue>& main, HANDLE input,
           HANDLE output);

/// How the helper ended.
struct HelperEnd {
    int status = 0;            ///< 1 after Fatal, else 0
    bool threadsLeft = false;  ///< a page's thread still runs, stuck in its page
};

/// The page helper: browser controls made by `make`, each page on its own thread, serving
/// the window on its pipes. Refuses a window of another version, and a control that cannot
/// be made or does not complete its blank start page; else says Ready once that page is
/// complete on every page.
HelperEnd RunPageHelper(const pageserve::HelperArguments& arguments,
                        const controlpage::BrowserMaker& make, HANDLE input, HANDLE output);

}  // namespace brevane::winpages
