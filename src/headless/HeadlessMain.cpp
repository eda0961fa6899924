#include "headless/HeadlessMain.h"

#include "alarms/AlarmsChoice.h"
#include "headless/HeadlessLogger.h"
#include "platform/core/ComPortMap.h"
#include "platform/core/ConsoleLine.h"
#include "platform/core/PortPaths.h"
#include "platform/core/ProgramBeside.h"
#include "platform/core/ShutdownSignal.h"
#include "platform/core/StandardErrorMessages.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/SystemSerialPorts.h"
#include "session/PublisherChoice.h"

#include <QCoreApplication>

namespace kt7 {

int runHeadless(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    StandardErrorMessages errors;
    const LoggerOptionsResult parsed = parseLoggerOptions(app.arguments().mid(1), true);
    if (!parsed.options) {
        errors.show(parsed.error + QStringLiteral("\n(kt7-logger --help lists the options)"));
        return 1;
    }
    if (parsed.options->help || parsed.options->version) {
        printLine(stdout, parsed.options->help ? loggerOptionsHelp() : loggerVersionText());
        return 0;
    }
    ShutdownSignal received;
    // New adapters get their COM numbers as the window's start-up gives them.
    const SystemPortCatalogue catalogue;
    for (const QString& problem : assignPortNumbers(catalogue).problems)
        errors.show(problem);

    const AlarmsChoice alarms = chooseAlarms(parsed.options->alarmsPath, errors);
    if (alarms.refused)
        return 1;
    const PublisherChoice mqtt = choosePublisher(*parsed.options, errors);
    if (mqtt.refused)
        return 1;

    // Read once a tick: nothing in this program needs a reading sooner.
    SystemSerialPortFactory ports;
    SystemClock clock;
    HeadlessLogger logger(
        *parsed.options, ports, clock, errors, [](const QString& line) { printLine(stdout, line); },
        CodePage::system(), homeLogFolder());
    logger.setAlarms(alarms.settings);
    if (mqtt.publisher)
        logger.publishWith(*mqtt.publisher);
    QObject::connect(&logger, &HeadlessLogger::cannotGoOn, &app,
                     [](int code) { QCoreApplication::exit(code); });
    // A new log file at once (SIGHUP: logrotate's postrotate); the end (SIGINT, SIGTERM, Ctrl+C,
    // a closed console).
    QObject::connect(&received, &ShutdownSignal::newFileRequested, &logger,
                     &HeadlessLogger::startNewFile);
    QObject::connect(&received, &ShutdownSignal::endRequested, &app,
                     [] { QCoreApplication::exit(0); });
    if (const int code = logger.start(); code != 0)
        return code;
    const int code = QCoreApplication::exec();
    const int closed = logger.finish();
    received.finished();
    return code != 0 ? code : closed;
}

// The headless logger is a small program beside the window's, so that an unattended logger loads
// no widget library; only when that program is missing does it run in the window's process.
int runHeadlessBeside(int argc, char** argv) {
    if (const std::optional<int> code = runProgramBeside("kt7-headless", argv))
        return *code;
    return runHeadless(argc, argv);
}

} // namespace kt7
