// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-pages: the page helper. Runs the browser engine with the five hidden pages
// for the window, which talks to it over its standard input and output.
#include <QGuiApplication>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "engine/engine_setup.h"
#include "engine/page_server.h"
#include "engine/web_pages.h"
#include "pageproto/page_protocol.h"

namespace {

constexpr char16_t kRootWithSandbox[] =
    u"started as root, where the browser engine cannot keep web pages in its sandbox, so no "
    u"page can be loaded; start brevane as an ordinary user.";

// The protocol keeps the standard input and output to itself. The engine and anything
// else in this process that writes to standard output writes to standard error
// instead, and nothing it reads comes from the window.
bool TakeProtocolChannels(int& input, int& output) {
    input = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    output = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const bool taken = input >= 0 && output >= 0 && null >= 0 && dup2(null, STDIN_FILENO) >= 0 &&
                       dup2(STDERR_FILENO, STDOUT_FILENO) >= 0;
    if (null >= 0) {
        close(null);
    }
    return taken;
}

}  // namespace

int main(int argc, char* argv[]) {
    int input = -1;
    int output = -1;
    if (!TakeProtocolChannels(input, output)) {
        return 1;
    }
    // A window that is gone shows as a failed write, not as a signal.
    signal(SIGPIPE, SIG_IGN);

    // The window's own arguments; the rest go to Qt and the engine.
    brevane::EngineOptions options;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == brevane::pageproto::kLoopbackOnlyArgument) {
            options.loopbackOnly = true;
        } else if (arg == brevane::pageproto::kUnsandboxedAsRootArgument) {
            options.unsandboxedAsRoot = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    // No page is ever shown: no display connection, on X11 and Wayland alike.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    brevane::EngineSetup engine(static_cast<int>(args.size()), args.data(), options);
    QGuiApplication app(engine.argc(), engine.argv());

    brevane::WebPages pages;
    brevane::PageServer server(pages, input, output);
    if (engine.state() == brevane::EngineState::Unusable) {
        server.send(brevane::pageproto::Fatal{kRootWithSandbox});
        return 1;
    }
    QObject::connect(&server, &brevane::PageServer::finished, &app, &QCoreApplication::quit);
    QTimer::singleShot(0, &pages, &brevane::WebPages::warmUp);
    const int status = QGuiApplication::exec();
    pages.release();
    return status;
}
