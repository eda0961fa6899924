#pragma once

#include "acquisition/SampleBlock.h"
#include "link/DeviceSlot.h"

#include <array>

namespace kt7 {

// The eight devices, as they are before anything is linked or loaded.
class DeviceSlots {
  public:
    DeviceSlots();

    DeviceSlot& operator[](int index) { return all.at(static_cast<std::size_t>(index)); }
    const DeviceSlot& operator[](int index) const {
        return all.at(static_cast<std::size_t>(index));
    }

    // The tare is the value shown when it is switched on: the window passes its value label's
    // text, a logger without a window the number text of the first reading after the link.
    void setTare(int index, bool on, const QString& shownValue);

    std::array<QString, DeviceCount> labels() const;
    std::array<QString, DeviceCount> units() const;

  private:
    std::array<DeviceSlot, DeviceCount> all;
};

} // namespace kt7
