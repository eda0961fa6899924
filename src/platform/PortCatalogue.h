#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace kt7 {

// A serial port as the system reports it.
struct SystemPort {
    QString devicePath;  // e.g. /dev/ttyUSB0
    QString stableName;  // e.g. /dev/serial/by-id/usb-FTDI_...; empty when the system has none
    QString description; // what the adapter calls itself
    QString manufacturer;
    QString serialNumber;
};

// What the system tells of a built-in UART's node (/dev/ttyS<k>) that it did not list as a port,
// typically because the user may not open it yet (not in the dialout group).
struct UartNode {
    bool exists = false;
    std::optional<int> type; // the UART type the kernel reports; 0: no UART behind the node
    int openError = 0;       // errno of opening it for reading; 0 when it opened or was not tried
};

// The serial ports present on this system, and the folder of com<n> links that numbers them.
class PortCatalogue {
  public:
    virtual ~PortCatalogue() = default;
    virtual QList<SystemPort> systemPorts() const = 0;
    // Empty where the system numbers its ports itself (Windows): nothing is assigned there.
    virtual QString numbersFolder() const = 0;
    virtual UartNode uartNode(const QString& devicePath) const = 0;
};

} // namespace kt7
