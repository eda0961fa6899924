#pragma once

#include <QColor>

namespace kt7 {

// The fixed colour of a device slot (0..7), used for its trace, its Y axis and its colour bar.
// An index outside the slots gives black.
QColor deviceColour(int slot);

} // namespace kt7
