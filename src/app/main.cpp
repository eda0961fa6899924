#include "app/Form_KT7.h"
#include "chart/LogViewer.h"
#include "platform/widgets/SystemPlatform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kt7::SystemPlatform::prepareApplication();
    kt7::SystemPlatform system;
    // "--view FILE" shows a saved log alone, without the logger and its ports.
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--view")) {
        kt7::LogViewer viewer(args[2], system.platform().dialogs, system.platform().messages);
        system.attachTo(&viewer);
        viewer.show();
        return QApplication::exec();
    }
    kt7::Form_KT7 window(system.platform());
    system.attachTo(&window);
    window.show();
    return QApplication::exec();
}
