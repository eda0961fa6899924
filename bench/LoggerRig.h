#pragma once

#include "chart/ChartComponent.h"
#include "common/LoggerBench.h"

#include <QApplication>
#include <cmath>
#include <stdexcept>

namespace kt7bench {

enum class LogMode { Fast, Sec };

// The window tests' logger, shown, with `devices` instruments linked, the chart on and a log
// open in a scratch folder, sampling automatically.
class LoggerRig : public kt7test::LoggerBench {
  public:
    LoggerRig(int devices, LogMode mode, const QString& interval = QStringLiteral("5"))
        : devices(devices) {
        for (int d = 0; d < devices; ++d)
            if (!fixture.link(d, kt7test::deviceLine("1.000", "kg")))
                throw std::runtime_error("a fake device did not link");
        intervalBox()->setText(interval);
        (mode == LogMode::Fast ? fastMode() : secMode())->setChecked(true);
        fixture.control<QCheckBox>(QStringLiteral("ChChartEnable"))->setChecked(true);
        if (!openLog(path(QStringLiteral("bench-log.csv"))))
            throw std::runtime_error("the log did not open");
        autoSample()->setChecked(true);
        window().show();
        QApplication::processEvents();
    }

    // Queues `lines` complete readings on every linked device, as if they came in during a second.
    void feed(int lines) {
        for (int d = 0; d < devices; ++d) {
            QByteArray bytes;
            for (int l = 0; l < lines; ++l) {
                const double value = 100.0 * std::sin(0.01 * static_cast<double>(serial++) + d);
                bytes += kt7test::deviceLine(QByteArray::number(value, 'f', 3), "kg");
            }
            fixture.ports.send(d + 1, bytes);
        }
    }
    void advanceClock() { fixture.clock.advanceSeconds(1); }
    kt7::ChartComponent& chart() { return *fixture.window->chart(); }

  private:
    int devices;
    long serial = 0;
};

} // namespace kt7bench
