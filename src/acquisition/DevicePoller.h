#pragma once

#include "acquisition/SampleBlock.h"
#include "acquisition/StreamReader.h"
#include "acquisition/TareOffset.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

namespace kt7 {

class SerialPort;

struct DeviceInput {
    bool linked = false;
    SerialPort* port = nullptr;
    QString unit;
    TareOffset tare;
};

// A linked device whose text keeps arriving but no longer ends in the terminator of the unit it
// was linked with: its unit changed, or its line format broke.
struct UnitChange {
    QString linkedUnit;
    QString newUnit; // read from the newest line; empty when no line can be read
};

struct PollResult {
    SampleBlock block; // lastRow+1 rows when at least one device completed a line; else 0 rows
    int lastRow = MaxBlockRows - 1;
    bool dataThisTick = false; // a linked device had more than six characters waiting
    int lastPieceCount = 0;    // complete lines of the highest-numbered device that had data
    std::array<int, DeviceCount> lineCounts{}; // complete lines per device, beyond the cap too
    std::array<std::optional<QString>, DeviceCount> valueLabels;    // new value caption per device
    std::array<std::optional<UnitChange>, DeviceCount> unitChanges; // told once per link
    // Every number read this tick per device, oldest first, beyond the row cap and the cut to
    // the device with the fewest lines too, so that no reading escapes a watcher. A view of the
    // poller's storage: valid until its next poll.
    std::array<std::span<const double>, DeviceCount> readings;
    bool hasRows() const { return block.rowCount() > 0; }
};

// The first stage of every sampling tick: reads what the linked devices sent, cuts it into lines
// and turns the lines into one block of readings, row r holding every device's r-th line.
class DevicePoller {
  public:
    // A port with six characters or fewer waiting is left alone: the shortest line is longer.
    static constexpr qint64 MinimumWaiting = 7;
    // Ticks in a row with text but no complete line before a unit change is told.
    static constexpr int TicksBeforeUnitChange = 5;
    // How long a link or a port test listens for the instrument's first reading.
    static constexpr int LinkWaitMs = 600;

    PollResult poll(const std::array<DeviceInput, DeviceCount>& devices);
    void restartAfterLink(int device, const QByteArray& linkText);
    // What a device's port had received when it broke: read by the next poll like any received
    // text, so that second's rows hold every reading that reached the program.
    void keepFinalText(int device, const QByteArray& text);
    bool hasFinalText(int device) const { return !finalText[device].isEmpty(); }
    QByteArray rxBuffer(int device) const;

  private:
    void watchTerminator(int device, const DeviceInput& input, int lineCount, PollResult& result);

    std::array<StreamReader, DeviceCount> readers;
    std::array<QByteArray, DeviceCount> finalText;
    std::array<int, DeviceCount> ticksWithoutLine{};
    std::array<bool, DeviceCount> unitChangeTold{};
    // Reused from tick to tick, so a poll allocates only for more readings than any before.
    std::array<std::vector<double>, DeviceCount> tickReadings;
};

} // namespace kt7
