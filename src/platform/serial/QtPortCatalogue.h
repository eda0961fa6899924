#pragma once

#include "platform/PortCatalogue.h"

namespace kt7 {

// The ports QSerialPortInfo reports (it leaves out ttyS nodes with no UART behind them), with
// their /dev/serial/by-id names.
class QtPortCatalogue : public PortCatalogue {
  public:
    QList<SystemPort> systemPorts() const override;
    QString numbersFolder() const override;
};

} // namespace kt7
