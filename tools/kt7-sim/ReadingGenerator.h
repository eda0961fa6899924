#pragma once

#include "DeviceSettings.h"

#include <random>
#include <string>

// Produces the value text of one device at a given time since the start, with the device's
// waveform and its fixed number of decimals. Noise (when set) is added to the sine and the lab
// waveforms.
class ReadingGenerator {
  public:
    ReadingGenerator(const DeviceSettings& settings, unsigned seed);

    std::string textAt(double seconds);

  private:
    double valueAt(double seconds);
    double labShare(double cycles) const;

    DeviceSettings settings_;
    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
};
