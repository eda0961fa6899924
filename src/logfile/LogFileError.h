#pragma once

#include <QString>

namespace kt7 {

// Outcome of a log-file operation. permissionDenied marks the refusal the window answers with
// "Log File was opened."; reason holds the system's own words for every failure.
struct LogFileError {
    bool ok = true;
    bool permissionDenied = false;
    QString reason;

    static LogFileError success() { return {}; }
    static LogFileError failure(QString why, bool denied = false) {
        return {false, denied, std::move(why)};
    }
};

} // namespace kt7
