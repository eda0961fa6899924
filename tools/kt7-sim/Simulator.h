#pragma once

#include "PortLink.h"
#include "SentLog.h"
#include "SimulatedDevice.h"
#include "SimulatorOptions.h"
#include "platform/core/ShutdownSignal.h"

#include <memory>
#include <ostream>
#include <vector>

// Sets up every device and its port link, then runs the event loop until the duration ends,
// a shutdown signal arrives or (with AfterRaw::Exit) the raw file has been written everywhere.
// The links are removed before the pseudo-terminals close.
class Simulator {
  public:
    explicit Simulator(const SimulatorOptions& options);

    // Announces each port and then "ready" on out once every link exists.
    void announce(std::ostream& out) const;
    void run();

  private:
    bool finished(SimulatedDevice::Clock::time_point now) const;
    int pollTimeoutMs(SimulatedDevice::Clock::time_point now) const;

    SimulatorOptions options_;
    kt7::ShutdownSignal shutdown_;
    SentLog log_;
    SimulatedDevice::Clock::time_point start_;
    std::vector<std::unique_ptr<SimulatedDevice>> devices_;
    std::vector<std::unique_ptr<PortLink>> links_; // declared last: removed first
};
