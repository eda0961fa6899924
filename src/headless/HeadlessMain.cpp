#include "headless/HeadlessMain.h"

#include "headless/HeadlessLogger.h"
#include "headless/StandardErrorMessages.h"
#include "platform/core/ComPortMap.h"
#include "platform/core/PortPaths.h"
#include "platform/core/ShutdownSignal.h"
#include "platform/core/SystemClock.h"
#include "platform/serial/PolledSerialPort.h"
#include "platform/serial/QtPortCatalogue.h"
#include "publish/MqttPublisher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

namespace kt7 {

namespace {
void printLine(const QString& line) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

// Publishing is asked for by --mqtt, or else by the config file; a broken request is told.
std::optional<MqttSettings> mqttSettings(const HeadlessOptions& options, MessageBoxes& errors,
                                         bool& bad) {
    const MqttSettingsResult result = chosenMqttSettings(options.mqttUrl, options.mqttStation,
                                                         options.mqttReadings, configFolder());
    if (!result.error.isEmpty()) {
        errors.show(result.error);
        bad = true;
    }
    return result.settings;
}
} // namespace

int runHeadless(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    StandardErrorMessages errors;
    const HeadlessOptionsResult parsed = parseHeadlessOptions(app.arguments().mid(1));
    if (!parsed.options) {
        errors.show(parsed.error + QLatin1Char('\n') + headlessUsage());
        return 1;
    }
    const ShutdownSignal shutdown;
    QSocketNotifier signalled(shutdown.fd(), QSocketNotifier::Read);
    QObject::connect(&signalled, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(shutdown.fd(), &byte, 1);
        QCoreApplication::exit(0);
    });

    // New adapters get their COM numbers as the window's start-up gives them.
    const QtPortCatalogue catalogue;
    for (const QString& problem : assignPortNumbers(catalogue).problems)
        errors.show(problem);

    bool badMqtt = false;
    const std::optional<MqttSettings> mqtt = mqttSettings(*parsed.options, errors, badMqtt);
    if (badMqtt && !parsed.options->mqttUrl.isEmpty())
        return 1;
    std::unique_ptr<MqttPublisher> publisher;
    if (mqtt)
        publisher = std::make_unique<MqttPublisher>(*mqtt);

    // Read once a tick: nothing in this program needs a reading sooner.
    PolledSerialPortFactory ports;
    SystemClock clock;
    HeadlessLogger logger(*parsed.options, ports, clock, errors, printLine, CodePage::system(),
                          homeLogFolder());
    if (publisher)
        logger.publishWith(*publisher);
    QObject::connect(&logger, &HeadlessLogger::cannotGoOn, &app,
                     [](int code) { QCoreApplication::exit(code); });
    if (const int code = logger.start(); code != 0)
        return code;
    const int code = QCoreApplication::exec();
    const int closed = logger.finish();
    return code != 0 ? code : closed;
}

} // namespace kt7
