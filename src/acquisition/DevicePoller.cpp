#include "acquisition/DevicePoller.h"

#include "acquisition/LatestReading.h"
#include "acquisition/ReadingConversion.h"
#include "platform/SerialPort.h"

#include <algorithm>

namespace kt7 {

PollResult DevicePoller::poll(const std::array<DeviceInput, DeviceCount>& devices) {
    PollResult result;
    std::array<std::vector<std::optional<double>>, DeviceCount> cells;
    bool anyLine = false;

    for (int i = 0; i < DeviceCount; ++i) {
        const DeviceInput& device = devices[i];
        tickReadings[i].clear();
        QByteArray received = std::exchange(finalText[i], {});
        if (device.linked && device.port && device.port->isOpen() &&
            device.port->bytesWaiting() >= MinimumWaiting)
            received += device.port->readAll();
        if (received.isEmpty())
            continue;

        const auto pieces = readers[i].take(received, device.unit);
        DeviceReadings readings =
            convertPieces(pieces, device.tare, MaxBlockRows, &tickReadings[i]);
        result.readings[i] = tickReadings[i];
        watchTerminator(i, device, readings.lineCount, result);
        result.dataThisTick = true;
        result.lastPieceCount = readings.lineCount;
        result.lineCounts[i] = readings.lineCount;
        if (readings.lineCount >= 1) {
            anyLine = true;
            result.lastRow = std::min(result.lastRow, readings.lineCount - 1);
            cells[i] = std::move(readings.cells);
        }
        if (readings.label)
            result.valueLabels[i] = std::move(readings.label);
    }

    if (anyLine) {
        const auto rows = static_cast<std::size_t>(result.lastRow + 1);
        for (int i = 0; i < DeviceCount; ++i) {
            cells[i].resize(rows);
            result.block.columns[i] = std::move(cells[i]);
        }
    }
    return result;
}

void DevicePoller::watchTerminator(int device, const DeviceInput& input, int lineCount,
                                   PollResult& result) {
    int& ticks = ticksWithoutLine[device];
    ticks = lineCount > 0 ? 0 : ticks + 1;
    if (ticks < TicksBeforeUnitChange || unitChangeTold[device])
        return;
    unitChangeTold[device] = true;
    const LatestReading newest = parseLatestReading(readers[device].pending());
    result.unitChanges[device] =
        UnitChange{input.unit, newest.found && newest.unit != input.unit ? newest.unit : QString()};
}

void DevicePoller::keepFinalText(int device, const QByteArray& text) {
    if (device >= 0 && device < DeviceCount)
        finalText[device] += text;
}

void DevicePoller::restartAfterLink(int device, const QByteArray& linkText) {
    if (device < 0 || device >= DeviceCount)
        return;
    readers[device].restartAfterLink(linkText);
    ticksWithoutLine[device] = 0;
    unitChangeTold[device] = false;
}

QByteArray DevicePoller::rxBuffer(int device) const {
    if (device < 0 || device >= DeviceCount)
        return {};
    return readers[device].pending();
}

} // namespace kt7
