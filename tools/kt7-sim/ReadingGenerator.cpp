#include "ReadingGenerator.h"

#include <charconv>
#include <cmath>
#include <numbers>

ReadingGenerator::ReadingGenerator(const DeviceSettings& settings, unsigned seed)
    : settings_(settings), random_(seed) {}

std::string ReadingGenerator::textAt(double seconds) {
    double value = valueAt(seconds);
    // Instruments show 0.0, never -0.0, for a reading that rounds to zero.
    if (std::abs(value) < 0.5 * std::pow(10.0, -settings_.decimals))
        value = 0.0;
    // to_chars writes a point whatever the desktop's locale: an instrument has no regional
    // settings.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, settings_.decimals);
    return std::string(buffer, result.ptr);
}

double ReadingGenerator::valueAt(double seconds) {
    const double cycles = seconds / settings_.periodSeconds + settings_.phase;
    const double span = settings_.maximum - settings_.minimum;
    switch (settings_.wave) {
    case Waveform::Constant:
        return settings_.constantValue;
    case Waveform::Ramp:
        return settings_.minimum + span * (cycles - std::floor(cycles));
    case Waveform::Sine:
        break;
    }
    const double middle = settings_.minimum + span / 2.0;
    const double wave = middle + span / 2.0 * std::sin(2.0 * std::numbers::pi * cycles);
    return settings_.noise > 0.0 ? wave + settings_.noise * noise_(random_) : wave;
}
