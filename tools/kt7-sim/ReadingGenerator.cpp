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
    double wave = 0.0;
    switch (settings_.wave) {
    case Waveform::Constant:
        return settings_.constantValue;
    case Waveform::Ramp:
        return settings_.minimum + span * (cycles - std::floor(cycles));
    case Waveform::Sine:
        wave =
            settings_.minimum + span / 2.0 + span / 2.0 * std::sin(2.0 * std::numbers::pi * cycles);
        break;
    case Waveform::RampHold:
    case Waveform::Settle:
    case Waveform::Pulse:
        wave = settings_.minimum + span * labShare(seconds / settings_.periodSeconds);
        break;
    }
    return settings_.noise > 0.0 ? wave + settings_.noise * noise_(random_) : wave;
}

// Where a lab waveform stands between minimum (0) and maximum (1), at a time in periods.
double ReadingGenerator::labShare(double cycles) const {
    const double t = cycles - std::floor(cycles);
    switch (settings_.wave) {
    case Waveform::RampHold: // heat for 35 % of the period, hold 30 %, cool 35 %
        if (t < 0.35)
            return t / 0.35;
        return t < 0.65 ? 1.0 : (1.0 - t) / 0.35;
    case Waveform::Settle: {
        // A step each half period with a time constant of a tenth of it, so each half ends
        // within 0.7 % of its level, and goes on from there as a real system would.
        const double left = std::exp(-5.0); // what a half period leaves of a step
        const double high = 1.0 / (1.0 + left);
        const double low = left / (1.0 + left);
        return t < 0.5 ? 1.0 - (1.0 - low) * std::exp(-t / 0.1) : high * std::exp(-(t - 0.5) / 0.1);
    }
    case Waveform::Pulse: { // peaks at 4 % of the period, gone to a thousandth by 60 %
        const double rise = t / 0.04;
        return rise * std::exp(1.0 - rise);
    }
    default:
        return 0.0;
    }
}
