#pragma once

#include "logfile/LogReader.h"

#include <QLocale>
#include <QString>
#include <array>
#include <functional>

namespace kt7 {

// Which rows of a saved log to take: those whose key (sample number, or the time in seconds)
// lies in [low, high].
struct LogSpan {
    QString logPath;
    QLocale locale; // the one the viewer reads the log's date field with
    bool timeKeys = false;
    double low = 0.0;
    double high = 0.0;
};

// Reads the rows of a span again from the log file, so an export holds the rows exactly as the
// log has them and the viewer needs no second copy of every row in memory.
class LogSpanReader {
  public:
    using RowVisitor = std::function<void(const LogRows& rows, std::size_t row)>;
    using HeaderVisitor = std::function<void(const LogSpanReader& reader)>;

    // Calls onHeader once labels and units are known (before the first row), then eachRow for
    // each row of the span in file order. False when the file could not be read, with the reason
    // in error().
    bool read(const LogSpan& span, const RowVisitor& eachRow, const HeaderVisitor& onHeader = {});

    const std::array<QString, DeviceCount>& labels() const { return labelTexts; }
    const std::array<QString, DeviceCount>& units() const { return unitTexts; }
    QString error() const { return failure; }

  private:
    std::array<QString, DeviceCount> labelTexts;
    std::array<QString, DeviceCount> unitTexts;
    QString failure;
};

} // namespace kt7
