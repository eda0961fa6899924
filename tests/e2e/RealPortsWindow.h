#pragma once

#include "app/Form_KT7.h"
#include "common/WindowControls.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDialogs.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/QtPortCatalogue.h"
#include "platform/serial/QtSerialPortFactory.h"

#include <QAbstractButton>
#include <QLabel>
#include <memory>

namespace e2e {

// The main window on real serial ports and the real clock; only the dialogs, message boxes and
// desktop facts are fakes, so nothing modal ever opens. HOME must already point at the test's
// home, since that is where the ports are looked up.
class RealPortsWindow : public kt7test::WindowControls<RealPortsWindow> {
  public:
    explicit RealPortsWindow(const QString& home) {
        desktop.appFolder = home;
        desktop.logDir = home + QStringLiteral("/KT7 Log/");
        window = std::make_unique<kt7::Form_KT7>(platform);
    }

    kt7::QtSerialPortFactory ports;
    kt7::SystemClock clock;
    kt7test::FakeDialogs dialogs;
    kt7test::FakeMessageBoxes messages;
    kt7test::FakeDesktop desktop;
    kt7::QtPortCatalogue catalogue;
    kt7::Platform platform{ports, clock, dialogs, messages, desktop, catalogue};
    std::unique_ptr<kt7::Form_KT7> window;
};

} // namespace e2e
