#pragma once

#include "app/Form_KT7.h"
#include "common/ScratchHome.h"
#include "common/WindowControls.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDialogs.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/SystemSerialPorts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <memory>

namespace e2e {

// The main window on real serial ports and the real clock; only the dialogs, message boxes and
// desktop facts are fakes, so nothing modal ever opens. HOME must already point at the test's
// home, since that is where the ports are looked up; every port number without an entry there
// gets one that leads nowhere.
class RealPortsWindow : public kt7test::WindowControls<RealPortsWindow> {
  public:
    explicit RealPortsWindow(const QString& home) {
        if (!kt7test::makeDanglingPorts(home))
            qWarning("not every port number of %s leads nowhere", qPrintable(home));
        desktop.appFolder = home;
        desktop.logDir = home + QStringLiteral("/KT7 Log/");
        window = std::make_unique<kt7::Form_KT7>(platform);
    }

    // Links the devices in the order given, on the ports they are set to, and logs them Fast into
    // csvPath, sampling automatically. False when a device did not link or the log did not open.
    bool logFast(const QList<int>& devices, const QString& csvPath) {
        button(QStringLiteral("OptDev"), 2)->setChecked(true);
        button(QStringLiteral("OptLogMode"), 0)->setChecked(true);
        control<QLineEdit>(QStringLiteral("TextLogInterval"))->setText(QStringLiteral("100"));
        control<QCheckBox>(QStringLiteral("CheckLogAuto"))->setChecked(true);
        for (int device : devices) {
            QAbstractButton* link = button(QStringLiteral("Ch_Link"), device);
            // A link can miss when no line end falls into its short wait on a busy machine.
            for (int attempt = 0; attempt < 3 && !link->isChecked(); ++attempt)
                link->setChecked(true);
            if (!link->isChecked())
                return false;
        }
        dialogs.answers = QStringList{csvPath};
        window->ComFile_Click(0);
        return window->session().logFileName() == csvPath;
    }

    kt7::SystemSerialPortFactory ports;
    kt7::SystemClock clock;
    kt7test::FakeDialogs dialogs;
    kt7test::FakeMessageBoxes messages;
    kt7test::FakeDesktop desktop;
    kt7::SystemPortCatalogue catalogue;
    kt7::Platform platform{ports, clock, dialogs, messages, desktop, catalogue};
    std::unique_ptr<kt7::Form_KT7> window;
};

} // namespace e2e
