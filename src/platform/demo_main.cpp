// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The offline demo: the program, with its six addresses pointing at stand-in sites
// that it serves itself on loopback from the bundled sample pages.
#include <QApplication>

#include <cstdio>
#include <exception>
#include <optional>

#include "platform/program.h"
#include "platform/qt_helper_channel.h"
#include "platform/qt_translations.h"
#include "standin/sample_sites.h"
#include "standin/standin_sites.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    brevane::InstallQtTranslations();

    // The sites are made first so that they outlive every page that loads from them.
    std::optional<brevane::standin::StandinSites> sites;
    try {
        sites.emplace();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "brevane-demo: %s\n", error.what());
        return 1;
    }
    brevane::standin::ServeSampleRun(*sites);

    // The browser engine refuses to start its sandbox as root. The demo only ever loads
    // its own pages from loopback, and nothing else resolves, so on a fresh machine
    // where it is started as root it may run the engine unsandboxed; the real program
    // never does.
    brevane::Program program(
        sites->addresses(),
        {.program = brevane::FindPageHelper(), .loopbackOnly = true, .unsandboxedAsRoot = true});
    program.start();
    return QApplication::exec();
}
