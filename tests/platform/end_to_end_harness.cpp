// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One run of the real program: window, WebEngine pages and message box, driven from
// a timer that watches the request log and the modal box.
#include "end_to_end_harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "core/window_model.h"
#include "platform/oil_price_window.h"
#include "platform/program.h"
#include "platform/qt_text.h"
#include "platform/twip_label.h"
#include "standin/process_tree.h"

namespace brevane::e2e {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(10);

bool IsFavicon(const standin::LoggedRequest& request) {
    return request.path.starts_with("/favicon.ico");
}

std::vector<standin::LoggedRequest> PageRequests(const standin::StandinSites& sites) {
    std::vector<standin::LoggedRequest> requests;
    for (auto& request : sites.requests()) {
        if (!IsFavicon(request)) {
            requests.push_back(std::move(request));
        }
    }
    return requests;
}

void ReadWindow(Program& program, RunResult& result) {
    OilPrice& window = program.window();
    const WindowModel& model = program.model();
    result.windowOpen = window.isVisible();
    result.windowCaption = window.windowTitle();
    for (const ControlSpec& spec : AllControls()) {
        ControlSeen seen;
        if (QWidget* widget = window.control(spec.id)) {
            seen.shown = !widget->isHidden();
        }
        if (TwipLabel* label = window.label(spec.id)) {
            seen.caption = label->caption();
        }
        result.controls.push_back(seen);
        if (!result.windowOpen || spec.kind == ControlKind::Timer ||
            spec.kind == ControlKind::Browser) {
            continue;
        }
        if (seen.shown != model.visible(spec.id)) {
            result.outOfStep.push_back(std::string(spec.name) + " visibility");
        }
        if (spec.kind == ControlKind::Label && seen.caption != ToQt(model.caption(spec.id))) {
            result.outOfStep.push_back(std::string(spec.name) + " caption");
        }
    }
    if (result.windowOpen && result.windowCaption != ToQt(model.windowCaption())) {
        result.outOfStep.push_back("window caption");
    }
}

}  // namespace

ControlSeen RunResult::at(Control control) const {
    const auto index = static_cast<std::size_t>(control);
    return index < controls.size() ? controls[index] : ControlSeen{};
}

void SaveScreenshot(Program& program, const std::string& name) {
    const QString dir = QStringLiteral(BREVANE_E2E_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    program.window().grab().save(dir + QLatin1Char('/') + QString::fromStdString(name) +
                                 QStringLiteral(".png"));
}

RunResult RunProgram(standin::StandinSites& sites, const RunOptions& options,
                     const std::string& name) {
    sites.clearLog();
    RunResult result;
    Program program(sites.addresses(), options.helper);
    program.pages().setTimeLimit(options.pageTimeLimit);
    QObject::connect(&program, &Program::engineFailed, &program,
                     [&](const QString& reason) { result.engineFailures.push_back(reason); });

    QEventLoop loop;
    bool stuck = false;
    QObject::connect(&program, &Program::runEnded, &loop, [&] {
        result.ended = !stuck;
        loop.quit();
    });

    std::size_t requestsSeen = 0;
    QTimer watcher;
    watcher.setInterval(kPollInterval);
    QObject::connect(&watcher, &QTimer::timeout, &program, [&] {
        const auto requests = PageRequests(sites);
        for (; requestsSeen < requests.size(); ++requestsSeen) {
            if (options.onRequest) {
                options.onRequest(requests[requestsSeen], program);
            }
        }
        result.mostRenderers =
            std::max(result.mostRenderers, standin::EngineProcessesOf(getpid()).renderers);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        result.boxes.push_back({box->windowTitle(), box->text(), program.window().windowTitle()});
        // Without a scripted answer the box is cancelled, and the test fails on the
        // unexpected box rather than hanging on it.
        const bool ok = options.answerOk.value_or(false);
        box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
    watcher.start();

    // A stuck run is ended the way a user would end it: by closing the window, which
    // aborts the wait; the run then unwinds out of its nested event loops.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, [&] {
        stuck = true;
        SaveScreenshot(program, name + "-stuck");
        program.window().close();
        QTimer::singleShot(std::chrono::seconds(5), &loop, &QEventLoop::quit);
    });
    giveUp.start(options.giveUpAfter);

    const auto start = Clock::now();
    program.start();
    loop.exec();
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    watcher.stop();
    // The helper ends with its engine when the run is over.
    for (const auto end = Clock::now() + std::chrono::seconds(3);
         (result.engineProcessesLeft = standin::EngineProcessesOf(getpid()).alive()) > 0 &&
         Clock::now() < end;) {
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }

    // Let the last repaint and the watcher's last look happen before reading.
    QCoreApplication::processEvents();
    result.requests = PageRequests(sites);
    ReadWindow(program, result);
    if (result.windowOpen) {
        SaveScreenshot(program, name);
    }
    return result;
}

std::vector<QString> LinesOf(const QString& caption) {
    std::vector<QString> lines;
    for (const QString& line : caption.split(QStringLiteral("\r\n"))) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace brevane::e2e
