#pragma once

#include <QtGlobal>

// The device ports of this system. On POSIX the polled reader, read at the tick, so the event
// loop is not woken by every arriving line; QSerialPort where the platform needs it.
#ifdef Q_OS_WIN
#include "platform/serial/QtSerialPortFactory.h"
namespace kt7 {
using SystemSerialPortFactory = QtSerialPortFactory;
}
#else
#include "platform/serial/PolledSerialPort.h"
namespace kt7 {
using SystemSerialPortFactory = PolledSerialPortFactory;
}
#endif
