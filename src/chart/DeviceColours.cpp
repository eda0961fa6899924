#include "chart/DeviceColours.h"

#include <array>

namespace kt7 {

QColor deviceColour(int slot) {
    // Light blue, light red, dark yellow, light green, dark red, dark magenta, light cyan, dark
    // cyan.
    static constexpr std::array<std::array<int, 3>, 8> rgb{{{0, 0, 255},
                                                            {255, 0, 0},
                                                            {128, 128, 0},
                                                            {0, 255, 0},
                                                            {128, 0, 0},
                                                            {128, 0, 128},
                                                            {0, 255, 255},
                                                            {0, 128, 128}}};
    if (slot < 0 || slot >= static_cast<int>(rgb.size()))
        return QColor(Qt::black);
    const auto& c = rgb[static_cast<std::size_t>(slot)];
    return QColor(c[0], c[1], c[2]);
}

} // namespace kt7
