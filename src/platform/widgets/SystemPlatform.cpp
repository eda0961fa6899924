#include "platform/widgets/SystemPlatform.h"

#include <QApplication>
#include <QIcon>

namespace kt7 {

void SystemPlatform::prepareApplication() {
    QApplication::setApplicationName(QStringLiteral("kt7-logger"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kt7.xpm")));
}

} // namespace kt7
