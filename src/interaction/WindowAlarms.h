#pragma once

#include "alarms/AlarmBoard.h"
#include "alarms/AlarmSettings.h"

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <array>
#include <functional>

class QCPGraph;
class QCustomPlot;
class QLabel;
class QMenu;

namespace kt7 {

class AlarmBar;
class AlarmsDialog;
class LimitLines;
class MessageBoxes;

// The window's side of alarms, without a modal box: the bar above the chart, the value labels of
// devices in alarm in red, the limit lines, the beep, and the dialog that edits the limits and
// saves them to their file. The owner passes each alarm change in and takes the settings out.
class WindowAlarms : public QObject {
    Q_OBJECT
  public:
    struct Devices {
        std::function<bool(int device)> shows; // whether the chart shows the device
        std::function<QString(int device)> label;
        std::function<QString(int device)> unit;
    };

    WindowAlarms(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs,
                 const std::array<QLabel*, DeviceCount>& valueLabels, Devices devices);

    // The file the command line names, or alarms.conf in the config folder; a file that cannot
    // be read is told and no limits are used. The settings read are applied.
    void readFile(const QString& namedPath, MessageBoxes& messages);
    const QString& filePath() const { return path; }
    const AlarmSettings& settings() const { return current; }
    // Shows them (lines, dialog) and passes them on through settingsApplied.
    void apply(const AlarmSettings& settings);

    void addMenuEntry(QMenu& menu);
    void openDialog();
    AlarmsDialog* dialog() const;
    AlarmBar* bar() const { return alarmBar; }
    LimitLines* limitLines() const { return lines; }

  public slots:
    void take(const kt7::AlarmEvent& event);
    // An alarm that could not be recorded or passed to the command: a note in the bar.
    void tell(const QString& problem);

  signals:
    void settingsApplied(const kt7::AlarmSettings& settings);

  private:
    QString save(const AlarmSettings& settings) const;
    void markLabel(int device);

    QCustomPlot& plot;
    std::array<QLabel*, DeviceCount> labels;
    std::array<QPalette, DeviceCount> labelPalettes; // as they are out of alarm
    std::array<bool, DeviceCount> labelFills{};
    Devices devices;
    AlarmBoard board;
    AlarmSettings current;
    QString path;
    AlarmBar* alarmBar = nullptr;
    LimitLines* lines = nullptr;
    QPointer<AlarmsDialog> editor;
};

} // namespace kt7
