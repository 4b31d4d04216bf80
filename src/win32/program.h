// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The running program on Windows: the window model, the pages, the window and the ports,
// wired into one run context.
#pragma once

#include <memory>

#include "core/diagnostics.h"
#include "core/run_context.h"
#include "core/web_addresses.h"
#include "core/window_model.h"
#include "win32/oil_price_window.h"
#include "win32/program_pages.h"
#include "win32/win32_ports.h"

namespace brevane::win32 {

class Win32Program {
public:
    /// The pages are `pages` when given; else the program's own, which is the one place
    /// where the program's pages are chosen: through brevane-pages.exe beside the program.
    explicit Win32Program(WebAddresses addresses, std::unique_ptr<ProgramPages> pages = nullptr);
    ~Win32Program();
    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    /// Loads the window (its first texts and the start timer), shows it and starts the
    /// pages. Closing the window ends the thread's message loop once the window is gone.
    void start();

    WindowModel& model() { return m_model; }
    OilPriceWindow& window() { return *m_window; }

private:
    WindowModel m_model;
    Win32LogSink m_logSink;
    RunLogLines m_log{m_logSink};
    std::unique_ptr<ProgramPages> m_pages;
    Win32Confirm m_confirm;
    Win32Shell m_shell;
    Win32Clock m_clock;
    RunContext m_run;
    // Declared last so that it goes first: it detaches from the model as it goes.
    std::unique_ptr<OilPriceWindow> m_window;
};

/// Runs the thread's message loop until WM_QUIT; its exit code.
int RunMessageLoop();

}  // namespace brevane::win32
