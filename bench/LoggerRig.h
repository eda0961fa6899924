#pragma once

#include "WindowFixture.h"
#include "chart/ChartComponent.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <cmath>
#include <stdexcept>

namespace kt7bench {

enum class LogMode { Fast, Sec };

// A shown main window over fake ports with `devices` instruments linked (device d on port d + 1),
// the "Data Logger" page selected and a log open in a scratch folder, sampling automatically.
class LoggerRig {
  public:
    LoggerRig(int devices, LogMode mode, const QString& interval = QStringLiteral("5"))
        : fixture({1, 2, 3, 4, 5, 6, 7, 8}), devices(devices) {
        kt7::Form_KT7& window = *fixture.window;
        for (int d = 0; d < kt7::DeviceCount; ++d)
            fixture.control<QComboBox>(QStringLiteral("CombMSCom"), d)->setCurrentIndex(d);
        fixture.selectPage(2);
        for (int d = 0; d < devices; ++d)
            if (!fixture.link(d, kt7test::WindowFixture::line("1.000", "kg")))
                throw std::runtime_error("a fake device did not link");
        fixture.control<QLineEdit>(QStringLiteral("TextLogInterval"))->setText(interval);
        fixture.button(QStringLiteral("OptLogMode"), mode == LogMode::Fast ? 0 : 1)
            ->setChecked(true);
        fixture.control<QCheckBox>(QStringLiteral("ChChartEnable"))->setChecked(true);
        fixture.dialogs.answers << fixture.home.filePath(QStringLiteral("bench-log.csv"));
        window.ComFile_Click(0);
        if (window.state().LogFileName.isEmpty())
            throw std::runtime_error("the log did not open");
        fixture.control<QCheckBox>(QStringLiteral("CheckLogAuto"))->setChecked(true);
        window.show();
        QApplication::processEvents();
    }

    // Queues `lines` complete readings on every linked device, as if they came in during a second.
    void feed(int lines) {
        for (int d = 0; d < devices; ++d) {
            QByteArray bytes;
            for (int l = 0; l < lines; ++l) {
                const double value = 100.0 * std::sin(0.01 * static_cast<double>(serial++) + d);
                bytes += kt7test::WindowFixture::line(QByteArray::number(value, 'f', 3), "kg");
            }
            fixture.ports.send(d + 1, bytes);
        }
    }
    void advanceClock() { fixture.clock.advanceSeconds(1); }
    kt7::Form_KT7& window() { return *fixture.window; }
    kt7::ChartComponent& chart() { return *fixture.window->chart(); }

    kt7test::WindowFixture fixture;

  private:
    int devices;
    long serial = 0;
};

} // namespace kt7bench
