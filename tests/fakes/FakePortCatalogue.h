#pragma once

#include "platform/PortCatalogue.h"

namespace kt7test {

// The system's port list as a test sets it; no folder unless the test gives one.
class FakePortCatalogue : public kt7::PortCatalogue {
  public:
    QList<kt7::SystemPort> systemPorts() const override { return ports; }
    QString numbersFolder() const override { return folder; }

    QList<kt7::SystemPort> ports;
    QString folder;
};

} // namespace kt7test
