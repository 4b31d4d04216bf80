// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The browser engine's switches and start-up checks.
#include "engine/engine_setup.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QStringList>

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "pageproto/page_protocol.h"

namespace brevane {

namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr char kSandboxOffVariable[] = "QTWEBENGINE_DISABLE_SANDBOX";
constexpr char kEngineArguments[] = "--webEngineArgs";
constexpr char kNoSandbox[] = "--no-sandbox";
// Pages load side by side, and one that takes long to lay out or to run its scripts must
// not hold back the others: each renders in a process of its own, started ahead of its
// first load. The limit is a bound, not a promise: the engine may still put two pages in
// one process, and a page stuck there then costs only its own load (WebPages).
constexpr std::size_t kRendererLimit = pageproto::kPageCount;
// The engine runs its network service and graphics in the program's own process, and
// nothing else it starts goes without the sandbox: the zygote kept for such processes
// would only hold memory.
constexpr char kNoUnsandboxedZygote[] = "--no-unsandboxed-zygote";
// A page nobody sees counts as a background tab, whose timers the engine holds back to
// once a second or less. The pages' own scripts write what is read, on their own time.
constexpr char kTimersOnTime[] = "--disable-background-timer-throttling";

// What the engine says on start-up when it finds no OpenGL, which it is told to do without.
constexpr const char* kNoOpenGlNotes[] = {
    "QXcbIntegration: Cannot create platform OpenGL context",
    "This plugin does not support createPlatformOpenGLContext",
    "No suitable graphics backend found",
};

QtMessageHandler g_nextHandler = nullptr;

void LeaveOutNoOpenGlNotes(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    const bool note =
        type == QtWarningMsg && std::any_of(std::begin(kNoOpenGlNotes), std::end(kNoOpenGlNotes),
                                            [&](const char* s) { return message.startsWith(s); });
    if (!note && g_nextHandler != nullptr) {
        g_nextHandler(type, context, message);
    }
}

void SetIfUnset(const char* variable, const char* value) {
    if (!qEnvironmentVariableIsSet(variable)) {
        qputenv(variable, value);
    }
}

bool RunsAsRoot() {
    return getuid() == 0 || geteuid() == 0;
}

// The engine reads a double-quoted part of the flags variable as one argument.
QByteArray Quoted(const QString& argument) {
    const QByteArray bytes = argument.toLocal8Bit();
    return bytes.contains(' ') ? '"' + bytes + '"' : bytes;
}

}  // namespace

EngineSetup::EngineSetup(int argc, char** argv, const EngineOptions& options) {
    // The rules in QT_LOGGING_RULES still win over these.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    // No page is ever drawn and the window paints in software, so nothing needs OpenGL.
    // Given a display, the engine would load the system's OpenGL driver into the program
    // (some 40 MiB with Mesa) and keep it there; without one it runs its pages exactly as
    // on a machine without a display, as every test does, after two notes on start-up
    // that only say so.
    SetIfUnset("QT_XCB_GL_INTEGRATION", "none");
    SetIfUnset("QT_QPA_OFFSCREEN_NO_GLX", "1");
    g_nextHandler = qInstallMessageHandler(LeaveOutNoOpenGlNotes);

    const bool root = RunsAsRoot();
    QStringList switches{QStringLiteral("--renderer-process-limit=%1").arg(kRendererLimit),
                         QLatin1String(kNoUnsandboxedZygote), QLatin1String(kTimersOnTime)};
    if (root && options.unsandboxedAsRoot) {
        switches << QLatin1String(kNoSandbox);
    }
    if (options.loopbackOnly) {
        switches << QStringLiteral("--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1")
                 << QStringLiteral("--no-proxy-server");
    }

    bool sandboxOff = qEnvironmentVariableIsSet(kSandboxOffVariable);
    m_args.assign(argv, argv + argc);
    if (qEnvironmentVariableIsSet(kFlagsVariable)) {
        QByteArray flags = qgetenv(kFlagsVariable);
        for (const QString& s : switches) {
            flags += ' ' + Quoted(s);
        }
        qputenv(kFlagsVariable, flags);
        const QList<QByteArray> words = flags.split(' ');
        sandboxOff = sandboxOff || words.contains(QByteArray(kNoSandbox));
    } else {
        auto engineArgs = std::find(m_args.begin(), m_args.end(), kEngineArguments);
        if (engineArgs == m_args.end()) {
            m_args.emplace_back(kEngineArguments);
            engineArgs = m_args.end() - 1;
        }
        sandboxOff = sandboxOff || std::find(engineArgs, m_args.end(), kNoSandbox) != m_args.end();
        for (const QString& s : switches) {
            m_args.push_back(s.toStdString());
        }
    }
    sandboxOff = sandboxOff || switches.contains(QLatin1String(kNoSandbox));
    m_state = root && !sandboxOff ? EngineState::Unusable : EngineState::Usable;

    for (std::string& arg : m_args) {
        m_argv.push_back(arg.data());
    }
    m_argc = static_cast<int>(m_args.size());
    m_argv.push_back(nullptr);
}

}  // namespace brevane
