// Saves the set-up file again and again, alternating two set-ups, until it is killed. Prints
// "saved <n>" after every save so that a test can kill it at a moment of its choosing.
#include "app/Form_KT7.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakePortCatalogue.h"
#include "fakes/FakeSerialPorts.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const long saves = std::strtol(argv[2], nullptr, 10); // 0: until killed

    QTemporaryDir home;
    kt7test::FakeSerialPorts ports;
    ports.addPort(1);
    kt7test::FakeClock clock;
    kt7test::FakeDialogs dialogs;
    kt7test::FakeMessageBoxes messages;
    kt7test::FakeDesktop desktop;
    desktop.appFolder = home.path();
    desktop.logDir = home.path() + QStringLiteral("/");
    kt7test::FakePortCatalogue catalogue;
    const kt7::Platform platform{ports, clock, dialogs, messages, desktop, catalogue};
    kt7::Form_KT7 window(platform);

    // Long labels make each save take a while, so kills land inside writes too.
    const QString padding(4000, QLatin1Char('x'));
    for (long n = 1; saves == 0 || n <= saves; ++n) {
        const QString text = (n % 2 ? QStringLiteral("A") : QStringLiteral("B")) + padding;
        for (int i = 0; i < kt7::DeviceCount; ++i)
            window.findChild<QLineEdit*>(QStringLiteral("TextLab(%1)").arg(i))->setText(text);
        dialogs.answers << path;
        window.ComSetFile_Click(1);
        if (!messages.shown.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(messages.shown.first()));
            return 1;
        }
        std::printf("saved %ld\n", n);
        std::fflush(stdout);
    }
    return 0;
}
