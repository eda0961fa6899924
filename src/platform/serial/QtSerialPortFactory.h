#pragma once

#include "platform/SerialPort.h"

namespace kt7 {

class QtSerialPortFactory : public SerialPortFactory {
  public:
    std::unique_ptr<SerialPort> create() override;
};

} // namespace kt7
