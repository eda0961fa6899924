#include "interaction/GraphRows.h"

namespace kt7 {

MeasureSource withGraphRows(MeasureSource source,
                            const std::array<QCPGraph*, DeviceCount>& graphs) {
    QCPGraph* rows = graphs[0];
    if (!source.nearestRow)
        source.nearestRow = [rows](double key) -> std::optional<double> {
            const auto data = rows->data();
            if (data->isEmpty())
                return std::nullopt;
            auto it = data->findBegin(key, false);
            if (it == data->constEnd() ||
                (it != data->constBegin() && key - (it - 1)->key <= it->key - key))
                --it;
            return it->key;
        };
    if (!source.rowsBetween)
        source.rowsBetween = [rows](double low, double high) -> qint64 {
            const auto data = rows->data();
            return data->findEnd(high, false) - data->findBegin(low, false);
        };
    if (!source.sampleAt)
        source.sampleAt = [](double key) { return std::optional<double>(key); };
    return source;
}

} // namespace kt7
