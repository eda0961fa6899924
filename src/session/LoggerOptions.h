#pragma once

#include "logfile/LogSplit.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kt7 {

// The command line of kt7-logger and of the logger without a window, one parser for both:
// `kt7-logger [--setup FILE.kt7 [--link]] [--view FILE.csv] [--list-ports] [--mqtt URL ...]` and
// `kt7-logger --headless --setup FILE.kt7 [--log FILE.csv] [--fast | --every N] [--auto]
// [--mqtt URL] [--mqtt-station NAME] [--mqtt-readings logged|all] [--status-every SECONDS]`.
// What the headless logger is not given comes from the set-up file.
struct LoggerOptions {
    bool headless = false;
    bool link = false;
    bool listPorts = false;
    bool help = false;
    bool version = false;
    QString setupPath;
    QString viewPath;
    QString logPath; // empty: the default log in the log folder
    std::optional<bool> fastMode;
    std::optional<int> everySeconds;
    bool autoSample = false;
    QString alarmsPath; // empty: alarms.conf in the config folder, when there is one
    QString mqttUrl;    // empty: the config file decides
    QString mqttStation;
    QString mqttReadings;
    int statusEverySeconds = 60;
    LogSplit newFile; // never, unless --new-file asks
    int mqttDrainSeconds = 5;
};

struct LoggerOptionsResult {
    std::optional<LoggerOptions> options;
    QString error;
};

// The arguments after the program's name; headless: the program logs without a window anyway.
LoggerOptionsResult parseLoggerOptions(const QStringList& arguments, bool headless = false);
// One line per option.
QString loggerOptionsHelp();
QString loggerVersionText();

} // namespace kt7
