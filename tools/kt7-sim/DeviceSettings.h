#pragma once

#include <string>

enum class Waveform { Constant, Ramp, Sine };

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
    // Fraction of a period by which this device's ramp or sine is shifted, so devices differ.
    double phase = 0.0;
    // From this many seconds on the device sends laterUnit instead (below 0: never).
    double unitChangeSeconds = -1.0;
    std::string laterUnit;
    // From this many seconds on the device sends text without line ends, as fast as its port
    // takes it (below 0: never).
    double floodSeconds = -1.0;
};
