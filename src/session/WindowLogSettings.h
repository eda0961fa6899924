#pragma once

#include "logfile/LogSplit.h"

#include <QString>

namespace kt7 {

// The window's own settings file, <config folder>/kt7-logger/logger.conf, "key=value" lines:
// new-file=daily|hourly|<N>MB starts a new log file as the headless logger's --new-file does.
// Without the file (or the key) the window logs into one file, as it always has.
struct WindowLogSettings {
    LogSplit newFile;
    QString problem; // a line that could not be used, for the user; empty when all was well
};

WindowLogSettings readWindowLogSettings(const QString& configFolder);

} // namespace kt7
