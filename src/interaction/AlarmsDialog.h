#pragma once

#include "alarms/AlarmSettings.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kt7 {

// The limits of the eight devices, a row each (an empty field: none), the command and the beep.
// Shown beside the window, not modal: the traces stay in view while the limits are set. Numbers
// take the desktop's decimal separator or a point.
class AlarmsDialog : public QDialog {
    Q_OBJECT
  public:
    enum Column { High, Low, Deadband, Delay, Silent, ColumnCount };

    explicit AlarmsDialog(QWidget* parent = nullptr);

    // The row captions: "1 Oven (°C)".
    void setDeviceNames(const std::array<QString, DeviceCount>& names);
    void setSettings(const AlarmSettings& settings);
    // The fields read, or nothing when one cannot be used (named in `problem`).
    std::optional<AlarmSettings> settings(QString* problem = nullptr) const;
    // OK and Apply pass usable fields to it; it returns what went wrong (the dialog then stays
    // open and tells it) or nothing.
    void setApply(std::function<QString(const AlarmSettings&)> apply) {
        this->apply = std::move(apply);
    }

    QLineEdit* field(int device, Column column) const { return fields[device][column]; }
    QLineEdit* commandField() const { return command; }
    QCheckBox* beepBox() const { return beep; }
    QString toldText() const;

  private:
    bool applyFields();

    std::array<QLabel*, DeviceCount> names{};
    std::array<std::array<QLineEdit*, ColumnCount>, DeviceCount> fields{};
    QLineEdit* command = nullptr;
    QCheckBox* beep = nullptr;
    QLabel* told = nullptr;
    std::function<QString(const AlarmSettings&)> apply;
};

} // namespace kt7
