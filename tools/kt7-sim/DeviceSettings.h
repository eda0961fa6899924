#pragma once

#include <string>

// Constant, Ramp (a saw tooth) and Sine are test signals; the others look like a lab's:
// RampHold heats to the maximum, holds it and cools again; Settle steps between minimum and
// maximum and approaches each as a first-order system does; Pulse rises from the minimum to the
// maximum and decays back to it, once a period.
enum class Waveform { Constant, Ramp, Sine, RampHold, Settle, Pulse };

// What one simulated instrument sends and how often.
struct DeviceSettings {
    int port = 1;
    double linesPerSecond = 10.0;
    std::string unit = "us";
    Waveform wave = Waveform::Sine;
    double constantValue = 32000.0;
    double minimum = 0.0;
    double maximum = 100.0;
    double periodSeconds = 10.0;
    double noise = 0.0;
    int decimals = 1;
    // Fraction of a period by which this device's ramp or sine is shifted, so devices differ;
    // the lab waveforms start at the beginning of their period.
    double phase = 0.0;
    // From this many seconds on the device sends laterUnit instead (below 0: never).
    double unitChangeSeconds = -1.0;
    std::string laterUnit;
    // From this many seconds on the device sends text without line ends, as fast as its port
    // takes it (below 0: never).
    double floodSeconds = -1.0;
};
