#pragma once

#include "logfile/LogReader.h"

#include <QLocale>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace kt7 {

// What reading a whole log gave: the reader (header, notes, and where to go on when the file
// grows), its rows, and the bytes read.
struct LoadedLog {
    std::unique_ptr<LogReader> reader;
    LogRows rows;
    qint64 bytesRead = 0;
    QString error; // why the file could not be read at all
};

// Reads a log from the start in large blocks. The rows after the header are split at a line end
// near the middle and the two halves are read at once, each by its own reader, then joined as if
// one reader had read them in order.
class LogFileLoader : public QObject {
    Q_OBJECT

  public:
    // Below this many bytes of rows the second thread costs more than it saves.
    static constexpr qint64 DefaultSplitFrom = 2 * 1024 * 1024;

    LogFileLoader(const QString& path, const QLocale& locale, qint64 splitFrom = DefaultSplitFrom);
    ~LogFileLoader() override;

    // Reads in the calling thread (and one more).
    LoadedLog load();
    // Reads in the background; finished() follows in the loader's own thread.
    void start();
    bool isFinished() const { return finishedFlag.load(); }
    // What start() read; call once, after finished().
    LoadedLog take() { return std::move(result); }
    // Share of the file read so far, 0 to 1.
    double progress() const;

    // Only regular files are read: a pipe or a device would block the reader (or never end).
    static QString refusalFor(const QString& path);

  signals:
    void finished();

  private:
    void readRange(LogReader& reader, qint64 from, qint64 to);
    qint64 splitPoint(qint64 from, qint64 to) const;

    QString path;
    QLocale locale;
    qint64 splitFrom;
    LoadedLog result;
    std::thread worker;
    std::atomic<qint64> bytesDone{0};
    std::atomic<qint64> bytesTotal{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finishedFlag{false};
};

} // namespace kt7
