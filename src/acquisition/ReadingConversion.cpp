#include "acquisition/ReadingConversion.h"

#include "text/LeftVal.h"
#include "text/NumberText.h"
#include "text/StrictDecimal.h"

#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {

constexpr int KeptCharacters = 8;

std::optional<double> finite(double x) {
    if (!std::isfinite(x))
        return std::nullopt;
    return x;
}

} // namespace

std::optional<double> sampleCell(QByteArrayView piece, const TareOffset& tare) {
    const auto reading = strictToFloat(piece);
    if (!reading)
        return std::nullopt;
    if (tare.isFloat())
        return finite(leftVal(static_cast<double>(*reading) - tare.value(), KeptCharacters));
    return finite(leftVal(*reading - static_cast<float>(tare.value()), KeptCharacters));
}

std::optional<QString> valueLabelText(QByteArrayView piece, const TareOffset& tare) {
    const auto reading = strictToDouble(piece);
    if (!reading)
        return std::nullopt;
    const auto value = finite(leftVal(*reading - tare.value(), KeptCharacters));
    if (!value)
        return std::nullopt;
    return numberText(*value);
}

DeviceReadings convertPieces(const QList<QByteArray>& pieces, const TareOffset& tare, int maxCells,
                             std::vector<double>* everyValue) {
    DeviceReadings readings;
    readings.lineCount = static_cast<int>(pieces.size());
    if (pieces.isEmpty())
        return readings;
    const auto cellCount = std::min<qsizetype>(pieces.size(), std::max(maxCells, 0));
    readings.cells.reserve(static_cast<std::size_t>(cellCount));
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        const std::optional<double> cell = sampleCell(pieces[k], tare);
        if (k < cellCount)
            readings.cells.push_back(cell);
        else if (!everyValue)
            break;
        if (everyValue && cell)
            everyValue->push_back(*cell);
    }
    readings.label = valueLabelText(pieces.back(), tare);
    return readings;
}

} // namespace kt7
