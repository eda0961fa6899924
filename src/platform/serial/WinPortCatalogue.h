#pragma once

#include "platform/PortCatalogue.h"

namespace kt7 {

// The COM ports Windows has now, from the registry's device map (HARDWARE\DEVICEMAP\SERIALCOMM),
// with the driver's device name as their description. Windows numbers its ports itself, so
// there is no folder of numbers and no UART to keep a number for.
class WinPortCatalogue : public PortCatalogue {
  public:
    QList<SystemPort> systemPorts() const override;
    QString numbersFolder() const override { return {}; }
    UartNode uartNode(const QString&) const override { return {}; }
};

} // namespace kt7
