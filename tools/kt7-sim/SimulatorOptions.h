#pragma once

#include "DeviceSettings.h"

#include <string>
#include <vector>

// What the devices do once the raw file has been written to them.
enum class AfterRaw { Stream, Idle, Exit };

struct SimulatorOptions {
    std::vector<DeviceSettings> devices;
    double durationSeconds = 0.0; // 0: until a signal arrives
    int baud = 9600;
    std::string rawFile;
    AfterRaw afterRaw = AfterRaw::Idle;
    std::string sentLog;
    unsigned seed = 1;
    bool unplugOnExit = false; // leave the links dangling on exit, as an unplugged adapter does
};
