// The brevane program: one window that shows today's fuel prices for the user's place.
#include <QApplication>

#include "core/web_addresses.h"
#include "platform/program.h"

int main(int argc, char* argv[]) {
    // The hidden web pages render through a context shared with the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    brevane::Program program(brevane::DefaultWebAddresses());
    program.start();
    return QApplication::exec();
}
