// Drives the main window on real serial ports into Fast logging and keeps it running, so a test
// can kill the process at any moment. Usage: kt7-log-driver <csv path>. HOME must point at the
// test's home, whose port entries lead to the simulator.
#include "app/Form_KT7.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDialogs.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/QtSerialPortFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <cstdio>

namespace {
constexpr int LinkAttempts = 3;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kt7-log-driver <csv path>\n");
        return 2;
    }
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
    const kt7::Platform platform{ports, clock, dialogs, messages, desktop};
    kt7::Form_KT7 window(platform);

    const auto button = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    button("OptDev(2)")->setChecked(true);
    button("OptLogMode(0)")->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("TextLogInterval"))->setText(QStringLiteral("100"));
    window.findChild<QCheckBox*>(QStringLiteral("CheckLogAuto"))->setChecked(true);
    // A link can miss when no line end falls into its short wait on a busy machine.
    for (int attempt = 0; attempt < LinkAttempts && !button("Ch_Link(0)")->isChecked(); ++attempt)
        button("Ch_Link(0)")->setChecked(true);
    if (!button("Ch_Link(0)")->isChecked()) {
        std::fprintf(stderr, "device 1 did not link\n");
        return 3;
    }
    window.ComFile_Click(0);
    if (window.state().LogFileName != args[1]) {
        std::fprintf(stderr, "the log did not open\n");
        return 4;
    }
    std::printf("logging\n");
    std::fflush(stdout);
    return QApplication::exec();
}
