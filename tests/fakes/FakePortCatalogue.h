#pragma once

#include "platform/PortCatalogue.h"

#include <QHash>

namespace kt7test {

// The system's port list as a test sets it; no folder unless the test gives one.
class FakePortCatalogue : public kt7::PortCatalogue {
  public:
    QList<kt7::SystemPort> systemPorts() const override { return ports; }
    QString numbersFolder() const override { return folder; }
    kt7::UartNode uartNode(const QString& devicePath) const override {
        return uarts.value(devicePath);
    }

    QList<kt7::SystemPort> ports;
    QString folder;
    QHash<QString, kt7::UartNode> uarts; // UART nodes not in ports; others do not exist
};

} // namespace kt7test
