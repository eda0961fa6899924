#include "measure/CursorReadout.h"

#include "statistics/DurationText.h"
#include "text/NumberText.h"

#include <cmath>

namespace kt7 {

namespace {

std::optional<double> readingAt(const QCPGraphDataContainer& data, double key) {
    const auto it = data.findBegin(key, false);
    if (it == data.constEnd() || it->key != key || std::isnan(it->value))
        return std::nullopt;
    return it->value;
}

} // namespace

QString CursorReadout::spanText() const {
    if (!keyA || !keyB)
        return {};
    QString text = QObject::tr("B - A: ");
    text += samples ? QObject::tr("%1 samples").arg(numberText(*samples)) : QStringLiteral("-");
    if (seconds)
        text += QStringLiteral(", ") + durationText(*seconds);
    return text;
}

CursorReadout
readCursors(const MeasureSource& source, int devices, std::optional<double> keyA,
            std::optional<double> keyB,
            const std::function<QSharedPointer<QCPGraphDataContainer>(int)>& graphData) {
    CursorReadout out;
    out.keyA = keyA;
    out.keyB = keyB;
    const auto keyText = [&](std::optional<double> key) {
        if (!key)
            return QString();
        return source.keyText ? source.keyText(*key)
                              : QObject::tr("Sample %1").arg(numberText(*key));
    };
    out.textA = keyText(keyA);
    out.textB = keyText(keyB);
    const bool time = source.timeKeys && source.timeKeys();
    if (keyA && keyB) {
        const auto sampleAt = [&](double key) {
            return source.sampleAt ? source.sampleAt(key) : std::optional<double>(key);
        };
        const auto a = sampleAt(*keyA);
        const auto b = sampleAt(*keyB);
        if (a && b)
            out.samples = *b - *a;
        if (time)
            out.seconds = *keyB - *keyA;
    }
    for (int d = 0; d < devices; ++d) {
        if (source.shows && !source.shows(d))
            continue;
        // The readings at the cursors alone, where the chart can give just those.
        const auto at = [&](double key) {
            const auto data = source.pointsBetween ? source.pointsBetween(d, key, key)
                              : source.points      ? source.points(d)
                                                   : graphData(d);
            return readingAt(*data, key);
        };
        CursorReadout::Device line;
        line.device = d;
        line.name = source.name ? source.name(d) : QObject::tr("Device %1").arg(d + 1);
        line.unit = source.unit ? source.unit(d).trimmed() : QString();
        if (keyA)
            line.atA = at(*keyA);
        if (keyB)
            line.atB = at(*keyB);
        out.devices.push_back(std::move(line));
    }
    return out;
}

} // namespace kt7
