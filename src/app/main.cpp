#include "app/AppTitle.h"
#include "app/Form_KT7.h"
#include "headless/HeadlessMain.h"
#include "platform/core/ConsoleLine.h"
#include "platform/core/PortPaths.h"
#include "platform/core/ProgramBeside.h"
#include "platform/serial/PortListing.h"
#include "platform/widgets/SystemPlatform.h"
#include "session/LoggerOptions.h"
#include "session/PublisherChoice.h"
#include "session/WindowLogSettings.h"
#include "viewer/LogViewer.h"

#include <QApplication>
#include <cstring>

int main(int argc, char** argv) {
    kt7::useStartingConsole();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return kt7::runHeadlessBeside(argc, argv);
    // --help, --version and --list-ports answer without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const kt7::LoggerOptionsResult early = kt7::parseLoggerOptions(arguments); early.options) {
        if (early.options->help || early.options->version) {
            kt7::printLine(stdout, early.options->help ? kt7::loggerOptionsHelp()
                                                       : kt7::loggerVersionText());
            return 0;
        }
        if (early.options->listPorts)
            return kt7::printPortList(argc, argv);
    }
    QApplication app(argc, argv);
    // Qt's own options (-platform, -style ...) are gone from the arguments by now.
    const kt7::LoggerOptionsResult parsed =
        kt7::parseLoggerOptions(QApplication::arguments().mid(1));
    if (!parsed.options) {
        kt7::printLine(stderr,
                       parsed.error + QStringLiteral("\n(kt7-logger --help lists the options)"));
        return 1;
    }
    const kt7::LoggerOptions& options = *parsed.options;
    kt7::SystemPlatform::prepareApplication();
    kt7::SystemPlatform system(kt7::applicationTitle());
    // "--view FILE" shows a saved log alone, without the logger and its ports.
    if (!options.viewPath.isEmpty()) {
        kt7::LogViewer viewer(options.viewPath, system.platform().dialogs,
                              system.platform().messages);
        system.attachTo(&viewer);
        viewer.show();
        return QApplication::exec();
    }
    kt7::PublisherChoice mqtt; // outlives the window that publishes to it
    kt7::Form_KT7 window(system.platform());
    system.attachTo(&window);
    window.show();
    const kt7::WindowLogSettings logSettings = kt7::readWindowLogSettings(kt7::configFolder());
    if (!logSettings.problem.isEmpty())
        system.platform().messages.show(logSettings.problem);
    window.splitLogs(logSettings.newFile);
    window.startAlarms(options.alarmsPath);
    mqtt = kt7::choosePublisher(options, system.platform().messages);
    if (mqtt.publisher)
        window.publishWith(*mqtt.publisher);
    // "--setup FILE [--link]": a set-up loaded (and its devices linked) once the window shows.
    if (!options.setupPath.isEmpty())
        window.startWithSetup(options.setupPath, options.link);
    const int code = QApplication::exec();
    if (mqtt.publisher)
        mqtt.publisher->drain(2000);
    return code;
}
