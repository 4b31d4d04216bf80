// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Before the browser engine starts: its switches, its start-up report, and whether it
// can start in this process at all.
#pragma once

#include <string>
#include <vector>

namespace brevane {

/// Whether the browser engine can run in this process.
enum class EngineState { Usable, Unusable };

struct EngineOptions {
    /// No host name resolves and no proxy is used: only 127.0.0.1 can be reached.
    bool loopbackOnly = false;
    /// Runs the engine without its sandbox when the process runs as root. Only for a
    /// program that loads nothing but its own pages from loopback.
    bool unsandboxedAsRoot = false;
};

/// Made in the page helper's main before its application object and kept as long as it.
/// Gives the engine its switches (each page renders in a process of its own; timers of
/// pages nobody sees run on time), sets QT_XCB_GL_INTEGRATION=none and
/// QT_QPA_OFFSCREEN_NO_GLX=1 unless they are set (no page is drawn, so nothing needs
/// OpenGL), installs a message handler that leaves out the engine's two notes about the
/// missing OpenGL and passes everything else on, keeps the engine's start-up report out
/// of the log unless the logging rules ask for it, and finds out whether the engine can
/// start at all.
///
/// The engine takes its switches from QTWEBENGINE_CHROMIUM_FLAGS when that is set and
/// otherwise from the application's arguments after "--webEngineArgs"; the switches
/// go where the engine will read them.
class EngineSetup {
public:
    EngineSetup(int argc, char** argv, const EngineOptions& options = {});

    /// The arguments for the QApplication.
    int& argc() { return m_argc; }
    char** argv() { return m_argv.data(); }

    /// Unusable when the process runs as root with the engine's sandbox on: the engine
    /// refuses that and ends the whole process as it starts.
    EngineState state() const { return m_state; }

private:
    std::vector<std::string> m_args;
    std::vector<char*> m_argv;
    int m_argc = 0;
    EngineState m_state = EngineState::Usable;
};

}  // namespace brevane
