// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-pages: the page helper. Runs the browser engine with the hidden pages for the
// window, which talks to it over its standard input and output.
#include <QGuiApplication>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <string_view>
#include <vector>

#include "engine/engine_setup.h"
#include "engine/page_server.h"
#include "engine/web_pages.h"
#include "pageproto/page_protocol.h"
#include "pageserve/helper_arguments.h"
#include "pageserve/page_service.h"

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

/// Refuses the window with `reason` and says so before the helper exits.
int Refuse(brevane::pageserve::PageService& service, int output, std::u16string reason) {
    service.refuse(std::move(reason));
    for (std::string_view out = service.outgoing(); !out.empty(); out = service.outgoing()) {
        const ssize_t n = write(output, out.data(), out.size());
        if (n <= 0) {
            break;
        }
        service.written(static_cast<std::size_t>(n));
    }
    return 1;
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
    const std::vector<std::string_view> given(argv + 1, argv + argc);
    brevane::pageserve::HelperArguments arguments = brevane::pageserve::ReadHelperArguments(given);
    std::vector<char*> args{argv[0]};
    for (std::string& rest : arguments.rest) {
        args.push_back(rest.data());
    }

    // No page is ever shown: no display connection, on X11 and Wayland alike.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    brevane::EngineSetup engine(
        static_cast<int>(args.size()), args.data(),
        {.loopbackOnly = arguments.loopbackOnly, .unsandboxedAsRoot = arguments.unsandboxedAsRoot});
    QGuiApplication app(engine.argc(), engine.argv());

    brevane::WebPages pages;
    brevane::pageserve::PageService service(pages);
    if (const auto refused = brevane::pageproto::RefuseWindowVersion(arguments.windowVersion)) {
        return Refuse(service, output, *refused);
    }
    if (engine.state() == brevane::EngineState::Unusable) {
        return Refuse(service, output, kRootWithSandbox);
    }
    brevane::PageServer server(service, input, output);
    QObject::connect(&server, &brevane::PageServer::finished, &app, &QCoreApplication::quit);
    QObject::connect(&pages, &brevane::WebPages::warmedUp, &server,
                     [&service] { service.engineUp(); });
    QTimer::singleShot(0, &pages, &brevane::WebPages::warmUp);
    return QGuiApplication::exec();
}
