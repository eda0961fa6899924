#pragma once

#include <QList>
#include <QString>

namespace kt7 {

// A serial port as the system reports it.
struct SystemPort {
    QString devicePath;  // e.g. /dev/ttyUSB0
    QString stableName;  // e.g. /dev/serial/by-id/usb-FTDI_...; empty when the system has none
    QString description; // what the adapter calls itself
    QString manufacturer;
    QString serialNumber;
};

// The serial ports present on this system, and the folder of com<n> links that numbers them.
class PortCatalogue {
  public:
    virtual ~PortCatalogue() = default;
    virtual QList<SystemPort> systemPorts() const = 0;
    // Empty where the system numbers its ports itself (Windows): nothing is assigned there.
    virtual QString numbersFolder() const = 0;
};

} // namespace kt7
