#include "headless/HeadlessMain.h"

#include "alarms/AlarmsChoice.h"
#include "headless/HeadlessLogger.h"
#include "platform/core/ComPortMap.h"
#include "platform/core/PortPaths.h"
#include "platform/core/ShutdownSignal.h"
#include "platform/core/StandardErrorMessages.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/SystemSerialPorts.h"
#include "session/PublisherChoice.h"

#include <QCoreApplication>
#include <cstdio>

namespace kt7 {

namespace {
void printLine(const QString& line) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int runHeadless(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    StandardErrorMessages errors;
    const LoggerOptionsResult parsed = parseLoggerOptions(app.arguments().mid(1), true);
    if (!parsed.options) {
        errors.show(parsed.error + QStringLiteral("\n(kt7-logger --help lists the options)"));
        return 1;
    }
    if (parsed.options->help || parsed.options->version) {
        printLine(parsed.options->help ? loggerOptionsHelp() : loggerVersionText());
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
    HeadlessLogger logger(*parsed.options, ports, clock, errors, printLine, CodePage::system(),
                          homeLogFolder());
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

} // namespace kt7
