#pragma once

#include "acquisition/DevicePoller.h"
#include "logfile/LogFileError.h"
#include "record/TickControls.h"

namespace kt7 {

// What a sampling tick shows: the window's captions and chart, or nothing at all when logging
// without a window. The recorder calls these in the tick's order; a step that throws never stops
// the others.
class TickView {
  public:
    virtual ~TickView() = default;
    // The new value captions and unit-change notices of the poll.
    virtual void showPoll(const PollResult&) {}
    // After the readings went to the sinks: complete lines of the last device that had data.
    virtual void showLinesPerTick(int) {}
    virtual void rescaleAutoAxes() {}
    virtual void showSampleCount(qint32) {}
    // A manual sample request is taken by this tick's row.
    virtual void manualRequestTaken() {}
    virtual void showIntervalCount(const QString& /*intervalText*/, qint32) {}
    // The log was closed because a row could not be written or kept; lastSample is the last
    // sample known to be in the file.
    virtual void loggingStopped(const QString& path, const LogFileError&, qint32 lastSample) = 0;
};

} // namespace kt7
