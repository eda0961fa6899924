#pragma once

#include "logfile/LogFileError.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <functional>
#include <future>
#include <optional>

namespace kt7 {

// The open CSV log. Every append reaches the operating system before it returns, so a crash of
// the program loses no finished row; the data is forced to the disk at least every ten seconds
// and on close. A failed append takes back what it wrote, so the file never ends in half a row.
// The periodic disk sync runs on a worker thread: a disk flush takes milliseconds, and the
// sampling tick that asks for it must not wait for the disk. Its failure is reported by the
// next call of syncIfDue (or by close).
class LogFile {
  public:
    // Forces a descriptor's written data to the disk; 0 on success, -1 with errno set otherwise.
    using SyncFunction = std::function<int(int fileDescriptor)>;
    static constexpr qint64 syncIntervalSeconds = 10;

    explicit LogFile(SyncFunction syncToDisk = {});
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Creates or empties the file and writes the header. On failure nothing stays open, and a
    // file this call made is removed.
    LogFileError create(const QString& path, const QByteArray& header);
    // Refused (cutShort) when the file is shorter than what was written to it.
    LogFileError appendRows(const QByteArray& rows);
    // Starts the sync in the background when it is due; reports a finished sync that failed.
    LogFileError syncIfDue(const QDateTime& now);
    // Waits for a background sync still running and reports how it ended.
    LogFileError waitForSync();
    LogFileError close();

    bool isOpen() const { return file.isOpen(); }
    QString path() const { return openPath; }
    // Data rows (after the header) known to be on the disk: those written before the last
    // successful sync. Kept after close until the next create.
    qint64 rowsOnDisk() const { return syncedRows; }

  private:
    LogFileError write(const QByteArray& bytes);
    LogFileError syncNow();
    LogFileError collectSync(bool wait);
    // Whether the path still names the file being written: a log deleted, moved or replaced
    // while open would take every later row with it.
    LogFileError checkStillNamed() const;

    struct SyncOutcome {
        int result = 0;
        int error = 0;
    };

    SyncFunction syncToDisk;
    QFile file;
    QString openPath;
    qint64 committedSize = 0; // bytes of whole rows in the file
    bool unsyncedData = false;
    bool cannotUndo = false; // a partial write stayed in the file
    std::optional<QDateTime> lastSync;
    std::future<SyncOutcome> runningSync;
    qint64 writtenRows = 0; // data rows written to the system
    qint64 syncingRows = 0; // data rows the running sync covers
    qint64 syncedRows = 0;
    QByteArray fileIdentity; // device and inode of the file opened
};

} // namespace kt7
