#include "platform/widgets/QtDesktop.h"

#include "platform/core/PortPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kt7 {

double QtDesktop::logicalDpi() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

WorkArea QtDesktop::workArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 11520};
    const QRect area = screen->availableGeometry();
    const double twipsPerPixel = 1440.0 / logicalDpi();
    return {static_cast<int>(std::lround(area.top() * twipsPerPixel)),
            static_cast<int>(std::lround(area.height() * twipsPerPixel))};
}

QString QtDesktop::applicationFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString QtDesktop::logFolder() const {
    return homeLogFolder();
}

} // namespace kt7
