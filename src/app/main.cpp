#include "app/Form_KT7.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/QtSerialPortFactory.h"
#include "platform/widgets/QtDesktop.h"
#include "platform/widgets/QtFileDialogs.h"
#include "platform/widgets/QtMessageBoxes.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kt7-logger"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kt7.xpm")));

    kt7::QtSerialPortFactory ports;
    kt7::SystemClock clock;
    kt7::QtFileDialogs dialogs;
    kt7::QtMessageBoxes messages;
    kt7::QtDesktop desktop;
    const kt7::Platform platform{ports, clock, dialogs, messages, desktop};

    kt7::Form_KT7 window(platform);
    dialogs.setParent(&window);
    messages.setParent(&window);
    window.show();
    return QApplication::exec();
}
