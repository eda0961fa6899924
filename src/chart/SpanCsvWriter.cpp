#include "chart/SpanCsvWriter.h"

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

QString writeSpanCsv(const LogSpan& span, const QString& outPath) {
    const CodePage codePage = CodePage::system();
    QByteArray body;
    LogSpanReader reader;
    const bool read = reader.read(span, [&](const LogRows& rows, std::size_t r) {
        std::array<std::optional<double>, DeviceCount> values;
        for (int d = 0; d < DeviceCount; ++d)
            if (!std::isnan(rows.values[d][r]))
                values[d] = rows.values[d][r];
        body += csvDataRow(static_cast<qint32>(rows.sampleNumbers[r]), wallClock(rows.seconds[r]),
                           span.locale, codePage, values);
    });
    if (!read)
        return reader.error();
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csvHeader(reader.labels(), reader.units(), codePage)) < 0 ||
        file.write(body) != body.size() || !file.commit())
        return QObject::tr("The span could not be saved as %1: %2.")
            .arg(outPath, file.errorString());
    return {};
}

} // namespace kt7
