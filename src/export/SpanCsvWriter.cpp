#include "export/SpanCsvWriter.h"

#include "logfile/CsvFormat.h"

#include <QSaveFile>
#include <cmath>

namespace kt7 {

namespace {

// Keys hold the log's wall-clock time counted as if in UTC, the way the reader made them.
QDateTime wallClock(double seconds) {
    if (std::isnan(seconds))
        return {};
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
    return QDateTime(utc.date(), utc.time());
}

} // namespace

// Rows go to the file as they are read, so even a whole long log needs little memory.
QString writeSpanCsv(const LogSpan& span, const QString& outPath) {
    const CodePage codePage = CodePage::system();
    QSaveFile file(outPath);
    bool written = file.open(QIODevice::WriteOnly);
    const auto write = [&](const QByteArray& bytes) {
        written = written && file.write(bytes) == bytes.size();
    };
    LogSpanReader reader;
    const auto writeHeader = [&](const LogSpanReader& header) {
        write(csvHeader(header.labels(), header.units(), codePage));
    };
    const auto writeRow = [&](const LogRows& rows, std::size_t r) {
        std::array<std::optional<double>, DeviceCount> values;
        for (int d = 0; d < DeviceCount; ++d)
            if (!std::isnan(rows.values[d][r]))
                values[d] = rows.values[d][r];
        write(csvDataRow(static_cast<qint32>(rows.sampleNumbers[r]), wallClock(rows.seconds[r]),
                         span.locale, codePage, values));
    };
    if (!reader.read(span, writeRow, writeHeader))
        return reader.error(); // the save file is dropped, no half a span left behind
    if (!written || !file.commit())
        return QObject::tr("The span could not be saved as %1: %2.")
            .arg(outPath, file.errorString());
    return {};
}

} // namespace kt7
