// The brevane program: one window that shows today's fuel prices for the user's place.
#include <QApplication>

#include <cstdio>

#include "core/web_addresses.h"
#include "platform/engine_setup.h"
#include "platform/program.h"
#include "platform/qt_translations.h"

int main(int argc, char* argv[]) {
    brevane::EngineSetup engine(argc, argv);
    if (engine.state() == brevane::EngineState::Unusable) {
        // The run still goes its way, without pages: it ends in one of its error states.
        std::fputs(
            "brevane: started as root, where the browser engine cannot keep web pages in its "
            "sandbox, so no page can be loaded; start brevane as an ordinary user.\n",
            stderr);
    }
    QApplication app(engine.argc(), engine.argv());
    brevane::InstallQtTranslations();
    brevane::Program program(brevane::DefaultWebAddresses(), engine.state());
    program.start();
    return QApplication::exec();
}
