#include "app/Form_KT7.h"
#include "platform/widgets/SystemPlatform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kt7::SystemPlatform::prepareApplication();
    kt7::SystemPlatform system;
    kt7::Form_KT7 window(system.platform());
    system.attachTo(&window);
    window.show();
    return QApplication::exec();
}
