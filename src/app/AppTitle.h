#pragma once

#include <QString>

namespace kt7 {

// The main window's caption, trailing blank included; message boxes carry it too.
inline QString applicationTitle() {
    return QStringLiteral("KT7 RS232 Data Logger ");
}

} // namespace kt7
