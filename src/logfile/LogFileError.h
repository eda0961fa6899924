#pragma once

#include <QString>

namespace kt7 {

// Outcome of a log-file operation. permissionDenied marks the refusal the window answers with
// "Log File was opened."; reason holds the system's own words for every failure. notOnDisk marks
// data written to the system that could not be forced to the disk, fileGone a path that no
// longer names the file being written, cutShort a file that another program made shorter than
// what was written to it (nothing more is written there).
struct LogFileError {
    bool ok = true;
    bool permissionDenied = false;
    QString reason;
    bool notOnDisk = false;
    bool fileGone = false;
    bool cutShort = false;

    static LogFileError success() { return {}; }
    static LogFileError failure(QString why, bool denied = false) {
        return {false, denied, std::move(why)};
    }
    static LogFileError syncFailure(QString why) { return {false, false, std::move(why), true}; }
    static LogFileError gone(QString what) { return {false, false, std::move(what), false, true}; }
    static LogFileError cut(QString what) {
        return {false, false, std::move(what), false, false, true};
    }
};

} // namespace kt7
