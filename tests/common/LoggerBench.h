#pragma once

#include "common/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace kt7test {

// A window on eight fake ports, device d on port d + 1, showing the "Data Logger" page. The clock
// only moves when a test ticks it forward (or a link waits).
class LoggerBench {
  public:
    LoggerBench() : fixture({1, 2, 3, 4, 5, 6, 7, 8}) {
        for (int d = 0; d < kt7::DeviceCount; ++d)
            fixture.control<QComboBox>(QStringLiteral("CombMSCom"), d)->setCurrentIndex(d);
        fixture.selectPage(2);
    }

    kt7::Form_KT7& window() { return *fixture.window; }
    const kt7::LoggerSession& session() { return fixture.window->session(); }
    QString path(const QString& name = QStringLiteral("log.csv")) const {
        return fixture.home.filePath(name);
    }
    QString defaultLogPath() const { return fixture.desktop.logDir + "KT7_LogData.csv"; }

    bool linkDevice(int device, const QByteArray& unit = "V") {
        return fixture.link(device, deviceLine("1", unit));
    }
    void send(int device, const QByteArray& value, const QByteArray& unit = "V") {
        fixture.ports.send(device + 1, deviceLine(value, unit));
    }
    // Presses "New" with the dialog answering `chosen` (empty text: the user cancels).
    void pressNew(const QString& chosen) {
        fixture.dialogs.answers << chosen;
        fixture.button(QStringLiteral("ComFile"), 0)->click();
    }
    bool openLog(const QString& chosen) {
        pressNew(chosen);
        return !fixture.window->session().logFileName().isEmpty();
    }
    void pressClose() { fixture.button(QStringLiteral("ComFile"), 1)->click(); }
    // Moves the clock on and runs one sampling tick.
    void tick(int advanceMs = 1000) {
        fixture.clock.current = fixture.clock.current.addMSecs(advanceMs);
        fixture.window->TimerRecAI_Timer();
    }
    QDateTime now() const { return fixture.clock.now(); }

    QAbstractButton* autoSample() { return fixture.control<QCheckBox>("CheckLogAuto"); }
    QAbstractButton* manualSample() { return fixture.control<QAbstractButton>("CheckLogManual"); }
    QAbstractButton* fastMode() { return fixture.button(QStringLiteral("OptLogMode"), 0); }
    QAbstractButton* secMode() { return fixture.button(QStringLiteral("OptLogMode"), 1); }
    QLineEdit* intervalBox() { return fixture.control<QLineEdit>("TextLogInterval"); }
    QString intervalCaption() { return fixture.control<QLabel>("LabInvCount")->text(); }
    QString samplesCaption() { return fixture.control<QLabel>("LabelSamples")->text(); }
    QAbstractButton* newButton() { return fixture.button(QStringLiteral("ComFile"), 0); }
    QAbstractButton* closeButton() { return fixture.button(QStringLiteral("ComFile"), 1); }
    QWidget* frame(const char* name) { return fixture.control<QWidget>(QString::fromLatin1(name)); }

    WindowFixture fixture;
};

} // namespace kt7test
