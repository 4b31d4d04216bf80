// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A program started by a test and read from outside, as a screen reader or a test tool
// reads it: its top-level windows, their children's texts, the OK/Cancel box, its end.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/controls.h"

namespace brevane::testing {

std::u16string TextOf(HWND window);
std::wstring ClassOf(HWND window);
/// The texts of a message box's labels, one after another.
std::u16string BoxText(HWND box);

/// Polls `found` every 20 ms until it holds or `limit` passes.
bool WaitFor(const std::function<bool()>& found,
             std::chrono::milliseconds limit = std::chrono::seconds(10));

/// The visible top-level window of class `name` that process `pid` owns, if any.
HWND TopLevelOf(DWORD pid, const wchar_t* name);

/// A program started with these variables added to the environment, its standard error
/// in a file of the build tree, and its window of class BrevaneWindow once shown (within
/// 10 s). Killed, if it still runs, when this goes.
class RunningProgram {
public:
    RunningProgram(const std::wstring& program,
                   const std::vector<std::pair<std::wstring, std::wstring>>& environment);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    DWORD pid() const { return m_process.dwProcessId; }
    HWND window() const { return m_window; }
    /// The control's child window, by its control ID.
    HWND control(Control id) const;

    /// The OK/Cancel box, once it shows (within `limit`).
    HWND box(std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

    /// The exit code once the program has ended, within `limit`; none if it runs on.
    std::optional<DWORD> exitWithin(std::chrono::milliseconds limit) const;

    /// What the program wrote on its standard error so far.
    std::string errorOutput() const;

    /// Saves the window as a PNG in the tests' screenshot folder.
    void screenshot(const std::string& name) const;

private:
    std::string m_errorFile;
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

}  // namespace brevane::testing
