// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden pages as the program drives them through a run: started when the window
// shows, released after the run, aborted when the window closes.
#pragma once

#include <functional>
#include <string_view>

#include "core/diagnostics.h"
#include "core/ports.h"

namespace brevane::win32 {

class ProgramPages : public PagePort {
public:
    /// Called once the window shows, so that the pages can warm up while the start timer
    /// counts down.
    virtual void Start() {}
    /// The run is over: nothing more will be loaded.
    virtual void Release() {}
    /// Ends a wait in progress; that call and every later one throw RunAborted.
    virtual void Abort() = 0;

    /// Told once when the browser engine cannot run here: one plain sentence saying why.
    std::function<void(std::string_view reason)> engineFailed;
};

/// The pages of a program whose browser engine cannot start: every load answers empty
/// text at once, and the engine's failure is told when the pages start. The run then
/// ends in one of its error states, as on Linux when the page helper cannot start. Each
/// load is logged in the pages category, as the page helper's client logs it.
class EngineUnavailablePages final : public ProgramPages {
public:
    EngineUnavailablePages(std::string_view reason, LogSink& log) : m_reason(reason), m_log(log) {}

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override;
    std::u16string ReadPageText(Control browser) override;
    void Start() override;
    void Abort() override { m_aborted = true; }

private:
    std::string_view m_reason;
    LogSink& m_log;
    bool m_told = false;
    bool m_aborted = false;
};

}  // namespace brevane::win32
