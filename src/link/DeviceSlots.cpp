#include "link/DeviceSlots.h"

#include "text/NumberFromText.h"

namespace kt7 {

DeviceSlots::DeviceSlots() {
    for (int i = 0; i < DeviceCount; ++i) {
        all[i].unit = i == 0 ? QStringLiteral("unit") : QStringLiteral("us");
        all[i].label = QStringLiteral("Label %1").arg(i + 1);
    }
}

void DeviceSlots::setTare(int index, bool on, const QString& shownValue) {
    DeviceSlot& slot = (*this)[index];
    slot.tareOn = on;
    slot.tareAtLink = false;
    slot.tare = on ? TareOffset::of(numberFromText(shownValue)) : TareOffset::zero();
}

std::array<QString, DeviceCount> DeviceSlots::labels() const {
    std::array<QString, DeviceCount> texts;
    for (int i = 0; i < DeviceCount; ++i)
        texts[i] = all[i].label;
    return texts;
}

std::array<QString, DeviceCount> DeviceSlots::units() const {
    std::array<QString, DeviceCount> texts;
    for (int i = 0; i < DeviceCount; ++i)
        texts[i] = all[i].unit;
    return texts;
}

} // namespace kt7
