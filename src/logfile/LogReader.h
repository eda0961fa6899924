#pragma once

#include "acquisition/SampleBlock.h"
#include "dates/DateTimeFieldReader.h"
#include "dates/DateTimePatternFinder.h"
#include "platform/core/ColumnAllocator.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace kt7 {

using LogColumn = std::vector<double, ColumnAllocator<double>>;

// Rows of a log in file order, a column per field.
struct LogRows {
    static constexpr std::size_t ParallelAppendRows = 100'000;

    LogColumn sampleNumbers;
    LogColumn seconds; // wall-clock seconds of the date field; NaN when unreadable
    std::array<LogColumn, DeviceCount> values; // NaN for an empty cell

    std::size_t size() const { return sampleNumbers.size(); }
    void reserve(std::size_t rows);
    // Moves the other's rows to the end of these, a column at a time, so that at most one
    // column is held twice.
    void append(LogRows&& later);
};

// Reads the program's own CSV log as its bytes arrive: the identification line, the labels and
// units lines, then data rows. Bytes may come in any pieces (a file read in blocks, or the new
// end of a log still being written); a line counts once its line end has arrived. Lines that are
// not data rows are skipped and counted, so the reader can say what it left out. Numbers are read
// straight from the bytes: a million rows take well under a second. The date and time pattern
// is found from the first rows (DateTimePatternFinder) and then read every row; their seconds
// are filled in once it is settled: after DateTimePatternFinder::SampleRows rows, or when the
// rows are taken or a reader for later rows is made.
class LogReader {
  public:
    explicit LogReader(const QLocale& locale = QLocale::system());
    ~LogReader();

    void feed(QByteArrayView bytes);
    // The rows read since the last call.
    LogRows takeRows();
    // Room for this many rows more, so a large file's columns are not copied while they grow.
    void reserveRows(std::size_t count) { rows.reserve(rows.size() + count); }

    // A reader for a later stretch of the same file that starts at a line start: it reads rows
    // with this reader's date pattern, settled now, so two stretches can be read at once. Null
    // while the header or the first row is not read yet.
    std::unique_ptr<LogReader> readerForLaterRows();
    // Takes over what such a reader read from the stretch that follows this reader's last line
    // end: its rows, and its notes in this file's line numbers.
    void append(LogReader&& later);

    // False once the first line shows the file is not such a log; nothing more is read then.
    bool isLog() const { return !foreign; }
    const std::array<QString, DeviceCount>& labels() const { return labelTexts; }
    const std::array<QString, DeviceCount>& units() const { return unitTexts; }
    qint64 rowCount() const { return rowsRead; }
    // Every row so far had a readable date field.
    bool timesReadable() const { return rowsRead > 0 && unreadableTimes == 0; }
    // Bytes after the last line end: a line still being written, or one cut off.
    qint64 unfinishedBytes() const { return unfinishedLength; }
    // What was left out or guessed, in words for the user; empty for a clean log.
    QStringList notes() const;

  private:
    void readLine(QByteArrayView line);
    void readHeaderLine(QByteArrayView line);
    void readRow(QByteArrayView line);
    std::array<QString, DeviceCount> headerFields(QByteArrayView line, const QString& what);
    double secondsOf(QByteArrayView field, qint64 line);
    void settleTimePattern();
    void skip();

    struct SampledRow {
        QByteArray field;
        qint64 line;
    };

    QLocale locale;
    std::optional<DateTimePatternFinder> finder; // until the pattern is settled
    std::vector<SampledRow> sampledRows;         // the first rows of `rows`, their seconds unread
    std::optional<DateTimeFieldReader> times;    // empty when no pattern read a sampled row
    QByteArray partial;
    bool discarding = false;     // inside an overlong line, up to its end
    qint64 unfinishedLength = 0; // bytes since the last line end, kept or not
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
