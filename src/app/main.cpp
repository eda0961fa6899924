#include "app/Form_KT7.h"
#include "chart/LogViewer.h"
#include "platform/core/ComPortMap.h"
#include "platform/serial/QtPortCatalogue.h"
#include "platform/widgets/SystemPlatform.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

// `kt7-logger --list-ports`: the COM number map, with numbers given to new ports first, as the
// window would on start-up.
int listPorts(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const kt7::QtPortCatalogue catalogue;
    const QByteArray text = kt7::portMapText(kt7::assignPortNumbers(catalogue)).toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--list-ports") == 0)
        return listPorts(argc, argv);
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
    // "--setup FILE [--link]": a set-up loaded (and its devices linked) once the window shows.
    const qsizetype setup = args.indexOf(QLatin1String("--setup"));
    if (setup > 0 && setup + 1 < args.size())
        window.startWithSetup(args[setup + 1], args.contains(QLatin1String("--link")));
    return QApplication::exec();
}
