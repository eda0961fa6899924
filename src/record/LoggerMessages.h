#pragma once

#include "acquisition/DevicePoller.h"
#include "logfile/LogFileError.h"
#include "platform/SerialPort.h"

#include <QString>

namespace kt7 {

// The messages the window shows in a box and the headless logger writes to standard error:
// one wording for both. Device indices are 0-based; the texts count from 1.

QString unitChangeText(int index, const QString& portName, const UnitChange& change);
// The log file could not be created (not for a permission denial, which has its own text).
QString logNotCreatedText(const QString& path, const QString& reason);
QString logHoldsDataText(const QString& path);
QString loggingStoppedText(const QString& path, const LogFileError& cause, qint32 lastSample);
// portNumber below 1: no serial port was found at all.
QString portOpenFailureText(int index, int portNumber, const QString& devicePath,
                            const PortOpenResult& result);
// The log folder could not be made.
QString logFolderNotCreatedText(const QString& folder, const QString& reason);
QString lostLinkText(int index, const QString& portName, const QString& devicePath,
                     const QString& reason);

} // namespace kt7
