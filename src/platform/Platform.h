#pragma once

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/PortCatalogue.h"
#include "platform/SerialPort.h"

namespace kt7 {

// Everything the main window needs from the system, passed in so tests can use fakes.
struct Platform {
    SerialPortFactory& ports;
    Clock& clock;
    FileDialogs& dialogs;
    MessageBoxes& messages;
    Desktop& desktop;
    PortCatalogue& catalogue;
};

} // namespace kt7
