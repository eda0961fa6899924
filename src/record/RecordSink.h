#pragma once

#include "acquisition/SampleBlock.h"
#include "record/TickControls.h"

#include <QDateTime>
#include <vector>

namespace kt7 {

struct RecordedRow {
    qint32 sample = 0;
    QDateTime when;
    std::array<std::optional<double>, DeviceCount> values;
};

// A consumer of what the recorder reads and logs: the chart, a publisher.
class RecordSink {
  public:
    virtual ~RecordSink() = default;
    // Every reading of a tick that completed at least one line.
    virtual void readingsPolled(const SampleBlock&, const QDateTime&, const TickControls&) {}
    // The rows of a tick once the log file holds them.
    virtual void rowsLogged(const std::vector<RecordedRow>&, const TickControls&) {}
};

} // namespace kt7
