// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden pages as the program drives them through a run: started when the window
// shows, released after the run, aborted when the window closes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/diagnostics.h"
#include "core/ports.h"
#include "pageclient/page_client.h"
#include "winchannel/win32_helper_channel.h"

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

/// The pages through page helpers, as the page client serves them over the Windows channel:
/// `helper` (a full path) started when the window shows, ended after the run, killed when
/// the window closes during a wait.
class HelperPages final : public ProgramPages {
public:
    HelperPages(std::wstring helper, LogSink& log, PageHelperOptions options = {});

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override {
        return m_client.LoadPage(browser, address);
    }
    std::u16string ReadPageText(Control browser) override { return m_client.ReadPageText(browser); }
    void Expect(Control browser, std::u16string_view address) override {
        m_client.Expect(browser, address);
    }
    void Start() override { m_client.start(); }
    void Release() override { m_client.release(); }
    void Abort() override { m_client.abort(); }

private:
    Win32HelperChannel m_channel;
    PageClient m_client;
};

/// brevane-pages.exe beside this program.
std::wstring PageHelperBesideProgram();

}  // namespace brevane::win32
