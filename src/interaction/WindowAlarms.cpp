#include "interaction/WindowAlarms.h"

#include "alarms/AlarmText.h"
#include "alarms/AlarmsChoice.h"
#include "alarms/AlarmsFile.h"
#include "chart/LimitLines.h"
#include "interaction/AlarmBar.h"
#include "interaction/AlarmsDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSaveFile>
#include <qcustomplot.h>

namespace kt7 {

WindowAlarms::WindowAlarms(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs,
                           const std::array<QLabel*, DeviceCount>& valueLabels, Devices devices)
    : QObject(&plot), plot(plot), labels(valueLabels), devices(std::move(devices)) {
    for (int d = 0; d < DeviceCount; ++d) {
        labelPalettes[d] = labels[d]->palette();
        labelFills[d] = labels[d]->autoFillBackground();
    }
    alarmBar = new AlarmBar(plot, board, [this](const AlarmEvent& event) {
        return alarmEventText(event, this->devices.label(event.device),
                              this->devices.unit(event.device).trimmed());
    });
    lines = new LimitLines(plot, graphs);
    lines->setShows(this->devices.shows);
}

void WindowAlarms::readFile(const QString& namedPath, MessageBoxes& messages) {
    const AlarmsChoice choice = chooseAlarms(namedPath, messages);
    path = choice.path;
    apply(choice.settings);
}

void WindowAlarms::apply(const AlarmSettings& settings) {
    current = settings;
    lines->setLimits(settings);
    if (editor)
        editor->setSettings(settings);
    emit settingsApplied(settings);
}

void WindowAlarms::addMenuEntry(QMenu& menu) {
    menu.addAction(tr("Alarms…"), this, &WindowAlarms::openDialog);
}

AlarmsDialog* WindowAlarms::dialog() const {
    return editor;
}

void WindowAlarms::openDialog() {
    if (!editor) {
        editor = new AlarmsDialog(plot.window());
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->setApply([this](const AlarmSettings& settings) {
            const QString problem = save(settings);
            apply(settings);
            return problem.isEmpty() ? problem : tr("Applied, but not saved: %1").arg(problem);
        });
    }
    std::array<QString, DeviceCount> names;
    for (int d = 0; d < DeviceCount; ++d) {
        const QString label = devices.label(d).trimmed();
        const QString unit = devices.unit(d).trimmed();
        names[d] = QString::number(d + 1) + (label.isEmpty() ? QString() : u' ' + label) +
                   (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit));
    }
    editor->setDeviceNames(names);
    editor->setSettings(current);
    editor->show();
    editor->raise();
    editor->activateWindow();
}

// Written whole or not at all, in the folder made when missing.
QString WindowAlarms::save(const AlarmSettings& settings) const {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return tr("%1: the folder cannot be made").arg(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(writeAlarmsText(settings)) < 0 ||
        !file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

void WindowAlarms::take(const AlarmEvent& event) {
    board.take(event);
    alarmBar->refresh();
    markLabel(event.device);
    if (event.state == AlarmState::Raised && current.beep)
        QApplication::beep();
}

void WindowAlarms::tell(const QString& problem) {
    alarmBar->addNote(problem);
}

void WindowAlarms::markLabel(int device) {
    QLabel* label = labels[device];
    const bool inAlarm = board.inAlarm(device);
    QPalette palette = labelPalettes[device];
    if (inAlarm) {
        palette.setColor(QPalette::Window, QColor(200, 0, 0));
        palette.setColor(QPalette::WindowText, Qt::white);
    }
    label->setAutoFillBackground(inAlarm || labelFills[device]);
    label->setPalette(palette);
}

} // namespace kt7
