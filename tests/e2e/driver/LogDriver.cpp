// Drives the main window on real serial ports into Fast logging and keeps it running, so a test
// can kill the process at any moment. Usage: kt7-log-driver <csv path> [devices [history cap]].
// Device n is linked on COM n. HOME must point at the test's home, whose port entries lead to
// the simulator. Prints "samples <n>" once a second, the count the window has written.
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDialogs.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/QtPortCatalogue.h"
#include "platform/serial/QtSerialPortFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int LinkAttempts = 3;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr, "usage: kt7-log-driver <csv path> [devices [history cap]]\n");
        return 2;
    }
    const int devices = args.size() > 2 ? std::clamp(args[2].toInt(), 1, kt7::DeviceCount) : 1;
    kt7::QtSerialPortFactory ports;
    kt7::SystemClock clock;
    kt7test::FakeDialogs dialogs;
    dialogs.answers = QStringList{args[1]};
    kt7test::FakeMessageBoxes messages;
    messages.duringMessage = [&messages] {
        std::fprintf(stderr, "message: %s\n", qPrintable(messages.shown.last()));
    };
    kt7test::FakeDesktop desktop;
    desktop.appFolder = QDir::homePath();
    desktop.logDir = QDir::homePath() + QStringLiteral("/KT7 Log/");
    kt7::QtPortCatalogue catalogue;
    const kt7::Platform platform{ports, clock, dialogs, messages, desktop, catalogue};
    kt7::Form_KT7 window(platform);

    const auto button = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    button("OptDev(2)")->setChecked(true);
    button("OptLogMode(0)")->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("TextLogInterval"))->setText(QStringLiteral("100"));
    window.findChild<QCheckBox*>(QStringLiteral("CheckLogAuto"))->setChecked(true);
    if (args.size() > 3)
        window.chart()->setHistoryCap(args[3].toLongLong());
    for (int i = 0; i < devices; ++i) {
        auto* list = window.findChild<QComboBox*>(QStringLiteral("CombMSCom(%1)").arg(i));
        list->setCurrentIndex(list->findData(i + 1));
        auto* link = window.findChild<QAbstractButton*>(QStringLiteral("Ch_Link(%1)").arg(i));
        // A link can miss when no line end falls into its short wait on a busy machine.
        for (int attempt = 0; attempt < LinkAttempts && !link->isChecked(); ++attempt)
            link->setChecked(true);
        if (!link->isChecked()) {
            std::fprintf(stderr, "device %d did not link\n", i + 1);
            return 3;
        }
    }
    window.ComFile_Click(0);
    if (window.state().LogFileName != args[1]) {
        std::fprintf(stderr, "the log did not open\n");
        return 4;
    }
    std::printf("logging\n");
    std::fflush(stdout);
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&window] {
        std::printf("samples %d\n", window.state().SampleCount);
        std::fflush(stdout);
    });
    report.start(1000);
    return QApplication::exec();
}
