#pragma once

#include <QtGlobal>

// The device ports of this system and the list of them, both read only when asked, so the
// event loop is not woken by every arriving line: termios on POSIX, the comm API on Windows.
#ifdef Q_OS_WIN
#include "platform/serial/WinPortCatalogue.h"
#include "platform/serial/WinSerialPort.h"
namespace kt7 {
using SystemSerialPortFactory = WinSerialPortFactory;
using SystemPortCatalogue = WinPortCatalogue;
} // namespace kt7
#else
#include "platform/serial/PolledSerialPort.h"
#include "platform/serial/QtPortCatalogue.h"
namespace kt7 {
using SystemSerialPortFactory = PolledSerialPortFactory;
using SystemPortCatalogue = QtPortCatalogue;
} // namespace kt7
#endif
