#include "viewer/DeviceLegend.h"

#include "chart/DeviceColours.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>

namespace kt7 {

namespace {

QIcon swatch(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(colour, 3));
    painter.drawLine(1, 8, 15, 8);
    return QIcon(pixmap);
}

} // namespace

DeviceLegend::DeviceLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Legend"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int d = 0; d < DeviceCount; ++d) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Legend(%1)").arg(d));
        box->setIcon(swatch(deviceColour(d)));
        box->setChecked(true);
        box->setToolTip(tr("Show or hide this trace and its axis"));
        connect(box, &QCheckBox::toggled, this, [this, d](bool on) { emit shownChanged(d, on); });
        layout->addWidget(box);
        entries[d] = box;
        setDevice(d, {}, {});
    }
    layout->addStretch();
}

void DeviceLegend::setDevice(int device, const QString& label, const QString& unit) {
    const QString name = label.isEmpty() ? tr("Device %1").arg(device + 1) : label;
    const QString trimmed = unit.trimmed();
    entries[device]->setText(trimmed.isEmpty() ? name
                                               : name + QStringLiteral(" (") + trimmed + u')');
}

void DeviceLegend::setShown(int device, bool shown) {
    const QSignalBlocker quiet(entries[device]);
    entries[device]->setChecked(shown);
}

bool DeviceLegend::isShown(int device) const {
    return entries[device]->isChecked();
}

} // namespace kt7
