#pragma once

#include "WindowFixture.h"
#include "app/Form_KT7.h"
#include "logfile/CsvFormat.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QPalette>
#include <QRadioButton>

namespace kt7test {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The file's lines without their CR LF; a last line without CR LF would show as its own entry.
inline QList<QByteArray> fileLines(const QString& path) {
    QList<QByteArray> lines = fileBytes(path).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r'))
            return {"<line without CR LF: " + line + '>'};
        line.chop(1);
    }
    return lines;
}

inline QList<QByteArray> dataRows(const QString& path) {
    return fileLines(path).mid(3);
}

// The date and time field a row built at `when` carries on this machine.
inline QByteArray dateField(const QDateTime& when) {
    return kt7::dateTimeField(when, QLocale::system()).toLocal8Bit();
}

inline bool isWhite(const QAbstractButton* button) {
    return button->palette().color(QPalette::Button) == QColor(Qt::white);
}
inline bool isButtonFace(const QAbstractButton* button) {
    return button->palette().color(QPalette::Button) ==
           QApplication::palette().color(QPalette::Button);
}

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
    const kt7::WindowState& state() { return fixture.window->state(); }
    QString path(const QString& name = QStringLiteral("log.csv")) const {
        return fixture.home.filePath(name);
    }
    QString defaultLogPath() const { return fixture.desktop.logDir + "KT7_LogData.csv"; }

    bool linkDevice(int device, const QByteArray& unit = "V") {
        return fixture.link(device, WindowFixture::line("1", unit));
    }
    void send(int device, const QByteArray& value, const QByteArray& unit = "V") {
        fixture.ports.send(device + 1, WindowFixture::line(value, unit));
    }
    // Presses "New" with the dialog answering `chosen` (empty text: the user cancels).
    void pressNew(const QString& chosen) {
        fixture.dialogs.answers << chosen;
        fixture.button(QStringLiteral("ComFile"), 0)->click();
    }
    bool openLog(const QString& chosen) {
        pressNew(chosen);
        return !state().LogFileName.isEmpty();
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
