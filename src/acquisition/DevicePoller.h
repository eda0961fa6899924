#pragma once

#include "acquisition/SampleBlock.h"
#include "acquisition/StreamReader.h"
#include "acquisition/TareOffset.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace kt7 {

class SerialPort;

struct DeviceInput {
    bool linked = false;
    SerialPort* port = nullptr;
    QString unit;
    TareOffset tare;
};

struct PollResult {
    SampleBlock block; // lastRow+1 rows when at least one device completed a line; else 0 rows
    int lastRow = MaxBlockRows - 1;
    bool dataThisTick = false; // a linked device had more than six characters waiting
    int lastPieceCount = 0;    // complete lines of the highest-numbered device that had data
    std::array<std::optional<QString>, DeviceCount> valueLabels; // new value caption per device
    bool hasRows() const { return block.rowCount() > 0; }
};

// The first stage of every sampling tick: reads what the linked devices sent, cuts it into lines
// and turns the lines into one block of readings, row r holding every device's r-th line.
class DevicePoller {
  public:
    // A port with six characters or fewer waiting is left alone: the shortest line is longer.
    static constexpr qint64 MinimumWaiting = 7;

    PollResult poll(const std::array<DeviceInput, DeviceCount>& devices);
    void restartAfterLink(int device, const QByteArray& linkText);
    QByteArray rxBuffer(int device) const;

  private:
    std::array<StreamReader, DeviceCount> readers;
};

} // namespace kt7
