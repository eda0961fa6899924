#pragma once

#include "platform/PortCatalogue.h"

namespace kt7 {

// The ports QSerialPortInfo reports (it leaves out ttyS nodes with no UART behind them), with
// their /dev/serial/by-id names.
class QtPortCatalogue : public PortCatalogue {
  public:
    QList<SystemPort> systemPorts() const override;
    QString numbersFolder() const override;
    // The type from sysfs, which anyone may read; the node is opened only where sysfs is silent.
    UartNode uartNode(const QString& devicePath) const override;
};

} // namespace kt7
