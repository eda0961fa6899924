#include "publish/PublishingSink.h"

namespace kt7 {

namespace {
std::array<QString, DeviceCount> unitsOf(const TickControls& controls) {
    std::array<QString, DeviceCount> units;
    for (int i = 0; i < DeviceCount; ++i)
        units[i] = controls.devices[i].unit;
    return units;
}
} // namespace

void PublishingSink::readingsPolled(const SampleBlock& block, const QDateTime& when,
                                    const TickControls& controls) {
    if (publisher.settings().readings != PublishedReadings::EveryReading)
        return;
    const auto units = unitsOf(controls);
    for (int r = 0; r < block.rowCount(); ++r)
        publisher.publishRow(++readingRows, when, block.row(r), units, controls.labels);
}

void PublishingSink::rowsLogged(const std::vector<RecordedRow>& rows,
                                const TickControls& controls) {
    if (publisher.settings().readings != PublishedReadings::LoggedRows)
        return;
    const auto units = unitsOf(controls);
    for (const RecordedRow& row : rows)
        publisher.publishRow(row.sample, row.when, row.values, units, controls.labels);
}

} // namespace kt7
