#include "statistics/SpanStatistics.h"

#include "text/NumberText.h"

#include <QObject>

namespace kt7 {

namespace {

QString cell(const std::optional<double>& value, int digits) {
    return value ? numberTextWithPrecision(*value, digits) : QStringLiteral("-");
}

} // namespace

QStringList SpanStatistics::header() const {
    return {QObject::tr("Device"),
            QObject::tr("Unit"),
            QObject::tr("Readings"),
            QObject::tr("Empty"),
            QObject::tr("Minimum"),
            QObject::tr("Maximum"),
            QObject::tr("Mean"),
            QObject::tr("Std deviation"),
            QObject::tr("Peak to peak"),
            QObject::tr("First"),
            QObject::tr("Last"),
            timeKeys ? QObject::tr("Rate per s") : QObject::tr("Rate per sample")};
}

QStringList SpanStatistics::cells(const Device& device, int significantDigits) {
    const ReadingStatistics& s = device.stats;
    return {device.name,
            device.unit,
            QString::number(s.readings),
            QString::number(s.emptyCells),
            cell(s.minimum, significantDigits),
            cell(s.maximum, significantDigits),
            cell(s.mean, significantDigits),
            cell(s.standardDeviation, significantDigits),
            cell(s.peakToPeak(), significantDigits),
            cell(s.first, significantDigits),
            cell(s.last, significantDigits),
            cell(s.slope, significantDigits)};
}

QString SpanStatistics::tabSeparated() const {
    QString text = header().join(u'\t') + u'\n';
    for (const Device& device : devices)
        text += cells(device).join(u'\t') + u'\n';
    return text;
}

} // namespace kt7
