// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the whole program once against the stand-in sites, answers its OK/Cancel box
// through the box itself, and reports what it requested and showed.
#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/controls.h"
#include "platform/qt_helper_channel.h"
#include "standin/standin_sites.h"
#include "test_page_helper.h"

namespace brevane {
class Program;
}

namespace brevane::e2e {

struct RunOptions {
    /// The button to press when the OK/Cancel box appears; none fails the run.
    std::optional<bool> answerOk;
    std::chrono::milliseconds pageTimeLimit{5000};
    /// Called on the user-interface thread, in order, for each request the sites log
    /// while the run goes on (favicon requests left out).
    std::function<void(const standin::LoggedRequest&, Program&)> onRequest;
    /// The run must end within this much time after start, else it counts as stuck.
    std::chrono::milliseconds giveUpAfter{60000};
    PageHelperLaunch helper = TestPageHelper();
};

/// The OK/Cancel box as the run showed it.
struct BoxSeen {
    QString title;
    QString text;
    QString windowCaptionMeanwhile;
};

/// One control as the real window shows it at the end of the run.
struct ControlSeen {
    QString caption;     ///< labels only
    bool shown = false;  ///< the control's own visibility flag (not its parent's)
};

struct RunResult {
    bool ended = false;  ///< the run ended by itself within RunOptions::giveUpAfter
    bool windowOpen = false;
    std::chrono::milliseconds elapsed{0};          ///< from the window's start to the run's end
    std::vector<standin::LoggedRequest> requests;  ///< favicon requests left out
    std::vector<BoxSeen> boxes;
    QString windowCaption;
    /// Widgets that disagree with the window model at the end (caption or visibility).
    std::vector<std::string> outOfStep;
    ControlSeen at(Control control) const;
    std::vector<ControlSeen> controls;  ///< by Control, read from the widgets
    int mostRenderers = 0;  ///< the most renderer processes alive at one time during the run
    /// Page helpers and engine processes still alive 3 s after the run, if any.
    std::size_t engineProcessesLeft = 0;
    /// What the program said on standard error about an engine that cannot run.
    std::vector<QString> engineFailures;
};

/// Starts a Program on `sites`, waits until its run ends, reads the window, saves a
/// screenshot as `<screenshot dir>/<name>.png` and destroys the program. The sites
/// must already serve the scenario.
RunResult RunProgram(standin::StandinSites& sites, const RunOptions& options,
                     const std::string& name);

/// Saves the window of a running program as `<screenshot dir>/<name>.png`.
void SaveScreenshot(Program& program, const std::string& name);

/// Splits a caption at its CR LF line breaks.
std::vector<QString> LinesOf(const QString& caption);

}  // namespace brevane::e2e

// Readable failure messages.
namespace brevane::standin {
inline void PrintTo(const LoggedRequest& request, std::ostream* out) {
    *out << SiteName(request.site) << ' ' << request.method << ' ' << request.path;
}
}  // namespace brevane::standin

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
