// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's pieces and their wiring.
#include "win32/program.h"

#include <string>

#include "run/run_sequence.h"

namespace brevane::win32 {

Win32Program::Win32Program(WebAddresses addresses, std::unique_ptr<ProgramPages> pages)
    : m_pages(pages ? std::move(pages)
                    : std::make_unique<HelperPages>(PageHelperBesideProgram(), m_logSink)),
      m_run{m_model, *m_pages, m_confirm, m_shell, m_clock, m_log, std::move(addresses)},
      m_window(std::make_unique<OilPriceWindow>(m_run)) {
    m_confirm.setOwner(m_window->hwnd());
    m_pages->engineFailed = [](std::string_view reason) {
        // The run still goes its way, without pages: it ends in one of its error states.
        WriteErrorLine("brevane: " + std::string(reason));
    };
    // There is one run per start: no page is read again after it.
    m_window->runEnded = [this] { m_pages->Release(); };
    // The run, if one waits for a page or an answer, unwinds with RunAborted; the window
    // has already stopped the start timer, so a run that has not begun never begins.
    m_window->closed = [this] {
        m_pages->Abort();
        m_confirm.abort();
    };
    m_window->destroyed = [] { PostQuitMessage(0); };
}

Win32Program::~Win32Program() = default;

void Win32Program::start() {
    Form_Load(m_run);
    m_window->show();
    m_pages->Start();
}

int RunMessageLoop() {
    MSG message;
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace brevane::win32
