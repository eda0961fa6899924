// Drives the main window on real serial ports into Fast logging and keeps it running, so a test
// can kill the process at any moment. Usage: kt7-log-driver <csv path> [devices [history cap]].
// Device n is linked on COM n. HOME must point at the test's home, whose port entries lead to
// the simulator. Prints "samples <n>" once a second, the count the window has written.
#include "RealPortsWindow.h"
#include "chart/ChartComponent.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr, "usage: kt7-log-driver <csv path> [devices [history cap]]\n");
        return 2;
    }
    const int devices = args.size() > 2 ? std::clamp(args[2].toInt(), 1, kt7::DeviceCount) : 1;
    e2e::RealPortsWindow f(QDir::homePath());
    for (const QString& message : std::as_const(f.messages.shown))
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    f.messages.duringMessage = [&f] {
        std::fprintf(stderr, "message: %s\n", qPrintable(f.messages.shown.last()));
    };
    if (args.size() > 3)
        f.window->chart()->setHistoryCap(args[3].toLongLong());
    QList<int> linked;
    for (int i = 0; i < devices; ++i) {
        auto* list = f.control<QComboBox>(QStringLiteral("CombMSCom"), i);
        list->setCurrentIndex(list->findData(i + 1));
        linked << i;
    }
    if (!f.logFast(linked, args[1])) {
        std::fprintf(stderr, "a device did not link or the log did not open\n");
        return 3;
    }
    std::printf("logging\n");
    std::fflush(stdout);
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&f] {
        std::printf("samples %d\n", f.window->session().sampleCount());
        std::fflush(stdout);
    });
    report.start(1000);
    return QApplication::exec();
}
