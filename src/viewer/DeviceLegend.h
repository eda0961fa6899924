#pragma once

#include "acquisition/SampleBlock.h"

#include <QWidget>
#include <array>

class QCheckBox;

namespace kt7 {

// One entry per device, in its colour with its label and unit; the check shows or hides the
// device's trace and Y axis.
class DeviceLegend : public QWidget {
    Q_OBJECT

  public:
    explicit DeviceLegend(QWidget* parent = nullptr);

    void setDevice(int device, const QString& label, const QString& unit);
    // Without telling: the caller sets what it starts with.
    void setShown(int device, bool shown);
    bool isShown(int device) const;
    QCheckBox* entry(int device) const { return entries[device]; }

  signals:
    void shownChanged(int device, bool shown);

  private:
    std::array<QCheckBox*, DeviceCount> entries{};
};

} // namespace kt7
