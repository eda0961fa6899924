#pragma once

#include "acquisition/SampleBlock.h"
#include "logfile/DateTimeFieldReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

namespace kt7 {

// Rows of a log in file order, a column per field.
struct LogRows {
    std::vector<double> sampleNumbers;
    std::vector<double> seconds; // wall-clock seconds of the date field; NaN when unreadable
    std::array<std::vector<double>, DeviceCount> values; // NaN for an empty cell

    std::size_t size() const { return sampleNumbers.size(); }
};

// Reads the program's own CSV log as its bytes arrive: the identification line, the labels and
// units lines, then data rows. Bytes may come in any pieces (a file read in blocks, or the new
// end of a log still being written); a line counts once its line end has arrived. Lines that are
// not data rows are skipped and counted, so the reader can say what it left out. Numbers are read
// straight from the bytes: a million rows take well under a second.
class LogReader {
  public:
    explicit LogReader(const QLocale& locale = QLocale::system());
    ~LogReader();

    void feed(QByteArrayView bytes);
    // The rows read since the last call.
    LogRows takeRows();

    // False once the first line shows the file is not such a log; nothing more is read then.
    bool isLog() const { return !foreign; }
    const std::array<QString, DeviceCount>& labels() const { return labelTexts; }
    const std::array<QString, DeviceCount>& units() const { return unitTexts; }
    qint64 rowCount() const { return rowsRead; }
    // Every row so far had a readable date field.
    bool timesReadable() const { return rowsRead > 0 && unreadableTimes == 0; }
    // Bytes after the last line end: a line still being written, or one cut off.
    qsizetype unfinishedBytes() const { return partial.size(); }
    // What was left out or guessed, in words for the user; empty for a clean log.
    QStringList notes() const;

  private:
    void readLine(QByteArrayView line);
    void readHeaderLine(QByteArrayView line);
    void readRow(QByteArrayView line);
    std::array<QString, DeviceCount> headerFields(QByteArrayView line, const QString& what);
    double secondsOf(QByteArrayView field);
    void skip();

    QLocale locale;
    std::unique_ptr<DateTimeFieldReader> primaryTimes;
    std::unique_ptr<DateTimeFieldReader> isoTimes;
    DateTimeFieldReader* times = nullptr; // the one that read a row, once one has
    QByteArray partial;
    bool discarding = false; // inside an overlong line, up to its end
    qint64 lineNumber = 0;
    qint64 rowsRead = 0;
    qint64 skippedLines = 0;
    qint64 firstSkipped = 0;
    qint64 unreadableTimes = 0;
    qint64 firstUnreadableTime = 0;
    bool foreign = false;
    QString firstLine;
    QStringList headerNotes;
    std::array<QString, DeviceCount> labelTexts;
    std::array<QString, DeviceCount> unitTexts;
    LogRows rows;
};

} // namespace kt7
