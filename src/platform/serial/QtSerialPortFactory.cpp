#include "platform/serial/QtSerialPortFactory.h"

#include "platform/serial/QtSerialPort.h"

namespace kt7 {

std::unique_ptr<SerialPort> QtSerialPortFactory::create() {
    return std::make_unique<QtSerialPort>();
}

} // namespace kt7
