#include "measure/SourceStatistics.h"

#include <thread>

namespace kt7 {

SpanStatistics
spanStatistics(const MeasureSource& source, int devices, double low, double high,
               const std::function<QSharedPointer<QCPGraphDataContainer>(int)>& graphData) {
    SpanStatistics out;
    out.low = std::min(low, high);
    out.high = std::max(low, high);
    out.timeKeys = source.timeKeys && source.timeKeys();
    const std::optional<qint64> rows =
        source.rowsBetween ? std::optional<qint64>(source.rowsBetween(out.low, out.high))
                           : std::nullopt;
    for (int d = 0; d < devices; ++d) {
        if (source.shows && !source.shows(d))
            continue;
        SpanStatistics::Device line;
        line.device = d;
        line.name = source.name ? source.name(d) : QObject::tr("Device %1").arg(d + 1);
        line.unit = source.unit ? source.unit(d).trimmed() : QString();
        if (!source.statisticsBetween) {
            const auto data = source.pointsBetween ? source.pointsBetween(d, out.low, out.high)
                              : source.points      ? source.points(d)
                                                   : graphData(d);
            line.stats =
                statisticsOf(data->findBegin(out.low, false), data->findEnd(out.high, false));
        }
        out.devices.push_back(std::move(line));
    }
    if (source.statisticsBetween) {
        // A million rows per device take milliseconds each: half the devices go to a second core.
        const auto compute = [&](std::size_t from) {
            for (std::size_t i = from; i < out.devices.size(); i += 2)
                out.devices[i].stats =
                    source.statisticsBetween(out.devices[i].device, out.low, out.high);
        };
        std::thread second(compute, 1);
        compute(0);
        second.join();
    }
    // The readings of a log hold no empty cells: the rows without a reading are.
    if (rows)
        for (SpanStatistics::Device& line : out.devices)
            line.stats.emptyCells = std::max<qint64>(0, *rows - line.stats.readings);
    return out;
}

} // namespace kt7
