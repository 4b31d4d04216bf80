// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The program as the benchmark runs it: the six addresses come from the command line. It
// prints a line when its window is first painted, and when the run ends its CPU time and
// that of its page helper and browser processes. It stays open, as the program does,
// until its standard input closes.
#include <QApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "core/web_addresses.h"
#include "platform/oil_price_window.h"
#include "platform/program.h"
#include "standin/process_tree.h"

namespace {

std::u16string Widen(const char* text) {
    return QString::fromUtf8(text).toStdU16String();
}

double OwnCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

/// Says "shown" on the window's first paint.
class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("shown\n");
            std::fflush(stdout);
            watched->removeEventFilter(this);
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s <source1> <source2> <source3> <siteA> <siteB> <sponsor>\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    brevane::Program program(
        brevane::WebAddresses{
            .locationSource1 = Widen(argv[1]),
            .locationSource2 = Widen(argv[2]),
            .locationSource3 = Widen(argv[3]),
            .siteARoot = Widen(argv[4]),
            .siteBRoot = Widen(argv[5]),
            .sponsor = Widen(argv[6]),
        },
        {.program = QStringLiteral(BREVANE_PAGE_HELPER), .loopbackOnly = true});
    FirstPaint firstPaint;
    program.window().installEventFilter(&firstPaint);
    QObject::connect(&program, &brevane::Program::runEnded, &app, [] {
        double browserCpu = 0;
        for (const pid_t pid : brevane::standin::ProcessTree(getpid())) {
            if (pid != getpid()) {
                browserCpu += brevane::standin::CpuMilliseconds(pid);
            }
        }
        std::printf("ended %.0f %.0f\n", OwnCpuMilliseconds(), browserCpu);
        std::fflush(stdout);
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    program.start();
    return QApplication::exec();
}
