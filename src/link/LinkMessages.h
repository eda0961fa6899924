#pragma once

#include "acquisition/DevicePoller.h"
#include "platform/SerialPort.h"

#include <QString>

namespace kt7 {

// What a device's port and link tell: the window shows it in a box, the headless logger writes
// it to standard error, in the same words. Device indices are 0-based; the texts count from 1.

QString unitChangeText(int index, const QString& portName, const UnitChange& change);
// portNumber below 1: no serial port was found at all.
QString portOpenFailureText(int index, int portNumber, const QString& devicePath,
                            const PortOpenResult& result);
QString lostLinkText(int index, const QString& portName, const QString& devicePath,
                     const QString& reason);

} // namespace kt7
