#pragma once

#include "logfile/LogFileError.h"

#include <QString>

namespace kt7 {

// What the log tells, in the same words in the window's boxes and on the headless logger's
// standard error.

// The log file could not be created (not for a permission denial, which has its own text).
QString logNotCreatedText(const QString& path, const QString& reason);
QString logHoldsDataText(const QString& path);
QString loggingStoppedText(const QString& path, const LogFileError& cause, qint32 lastSample);
// The log folder could not be made.
QString logFolderNotCreatedText(const QString& folder, const QString& reason);

} // namespace kt7
