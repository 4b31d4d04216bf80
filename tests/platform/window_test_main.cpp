// Test program of the window, its label widget, the Qt ports and the program: one
// offscreen QApplication for all cases.
#include <QApplication>

#include <gtest/gtest.h>

#include <vector>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (as the build does to register them) needs no application, and
    // no display.
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }

    // No host name but the loopback address resolves and no proxy is used, so nothing
    // the program's pages ask for can leave this machine.
    std::vector<char*> args(argv, argv + argc);
    static char resolverRules[] = "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1";
    static char noProxy[] = "--no-proxy-server";
    args.push_back(resolverRules);
    args.push_back(noProxy);
    args.push_back(nullptr);
    int qtArgc = argc + 2;

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(qtArgc, args.data());
    // Cases close windows while local event loops run; only the program's own cases
    // let the last closed window end the application.
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
