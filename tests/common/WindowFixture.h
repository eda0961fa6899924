#pragma once

#include "app/Form_KT7.h"
#include "common/DeviceLine.h"
#include "common/WindowControls.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakePortCatalogue.h"
#include "fakes/FakeSerialPorts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace kt7test {

// A main window over fake ports, clock, dialogs and desktop, with its log folder in a fresh
// temporary folder. Ports exist as the test lists them before the window is built.
class WindowFixture : public WindowControls<WindowFixture> {
  public:
    explicit WindowFixture(std::initializer_list<int> existingPorts = {1}, bool build = true) {
        desktop.appFolder = home.path();
        desktop.logDir = home.path() + QStringLiteral("/KT7 Log/");
        for (int port : existingPorts)
            ports.addPort(port);
        clock.onWait = [this](int) { ports.deliverPending(); };
        if (build)
            create();
    }

    void create() {
        window = std::make_unique<kt7::Form_KT7>(platform);
        window->sampleTimer()->stop(); // ticks run when the test says so
    }

    // Links device index on its current port, with a reading arriving during the link's wait.
    bool link(int index, const QByteArray& during) {
        ports.sendDuringWait(window->devicePort(index).portNumber(), during);
        button(QStringLiteral("Ch_Link"), index)->setChecked(true);
        return button(QStringLiteral("Ch_Link"), index)->isChecked();
    }
    void selectPage(int page) { button(QStringLiteral("OptDev"), page)->setChecked(true); }

    QTemporaryDir home;
    FakeSerialPorts ports;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeMessageBoxes messages;
    FakeDesktop desktop;
    FakePortCatalogue catalogue;
    kt7::Platform platform{ports, clock, dialogs, messages, desktop, catalogue};
    std::unique_ptr<kt7::Form_KT7> window;
};

} // namespace kt7test
