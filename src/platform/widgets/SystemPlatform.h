#pragma once

#include "platform/Platform.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/SystemSerialPorts.h"
#include "platform/widgets/QtDesktop.h"
#include "platform/widgets/QtFileDialogs.h"
#include "platform/widgets/QtMessageBoxes.h"

class QWidget;

namespace kt7 {

// The real system behind the window's interfaces, as the program runs: serial ports, clock,
// dialogs and message boxes over the window, the desktop.
class SystemPlatform {
  public:
    // Message boxes carry messageTitle, the title of the program's main window.
    explicit SystemPlatform(const QString& messageTitle) : messages(messageTitle) {}
    Platform platform() { return {ports, clock, dialogs, messages, desktop, catalogue}; }
    // Dialogs and messages open over the main window once it exists.
    void attachTo(QWidget* window) {
        dialogs.setParent(window);
        messages.setParent(window);
    }
    // The application's name and icon, set before the window is built.
    static void prepareApplication();

  private:
    SystemSerialPortFactory ports;
    SystemClock clock;
    QtFileDialogs dialogs;
    QtMessageBoxes messages;
    QtDesktop desktop;
    SystemPortCatalogue catalogue;
};

} // namespace kt7
