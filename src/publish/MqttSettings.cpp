#include "publish/MqttSettings.h"

#include <QFile>
#include <QSysInfo>
#include <QUrl>

namespace kt7 {

namespace {

constexpr quint16 standardMqttPort = 1883;

MqttSettingsResult failure(const QString& error) {
    return {std::nullopt, error};
}

// A topic level may hold anything but the separators and wildcards of MQTT topics.
bool isTopicLevel(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'+') &&
           !name.contains(u'#') && !name.contains(QChar(0));
}

} // namespace

MqttSettingsResult mqttSettingsFrom(const QString& url, const QString& station,
                                    const QString& readings, const QString& defaultStation) {
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const QString form = QStringLiteral("mqtt://host[:port]");
    if (parsed.scheme() == QLatin1String("mqtts"))
        return failure(QStringLiteral("MQTT broker address \"%1\": encrypted connections (mqtts) "
                                      "are not supported, use %2")
                           .arg(url, form));
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("mqtt") || parsed.host().isEmpty() ||
        (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/")) || parsed.hasQuery() ||
        parsed.hasFragment() || parsed.port() == 0)
        return failure(
            QStringLiteral("MQTT broker address \"%1\" is not of the form %2").arg(url, form));

    MqttSettings settings;
    settings.host = parsed.host();
    settings.port = parsed.port() < 0 ? standardMqttPort : static_cast<quint16>(parsed.port());
    settings.userName = parsed.userName();
    settings.password = parsed.password();
    settings.station = station.isEmpty() ? defaultStation : station;
    if (!isTopicLevel(settings.station))
        return failure(QStringLiteral("MQTT station name \"%1\" must not be empty nor contain "
                                      "/, + or #")
                           .arg(settings.station));
    if (readings == QLatin1String("all"))
        settings.readings = PublishedReadings::EveryReading;
    else if (readings.isEmpty() || readings == QLatin1String("logged"))
        settings.readings = PublishedReadings::LoggedRows;
    else
        return failure(
            QStringLiteral("MQTT readings \"%1\" must be \"all\" or \"logged\"").arg(readings));
    return {settings, QString()};
}

MqttSettingsResult readMqttConfigFile(const QString& path, const QString& defaultStation) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QString url;
    QString station;
    QString readings;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (equals < 0 || (key != QLatin1String("url") && key != QLatin1String("station") &&
                           key != QLatin1String("readings")))
            return failure(QStringLiteral("%1, line %2: expected url=, station= or readings=")
                               .arg(path)
                               .arg(lineNumber));
        (key == QLatin1String("url")       ? url
         : key == QLatin1String("station") ? station
                                           : readings) = value;
    }
    if (url.isEmpty())
        return failure(QStringLiteral("%1: no url= line names the MQTT broker").arg(path));
    MqttSettingsResult result = mqttSettingsFrom(url, station, readings, defaultStation);
    if (!result.settings)
        result.error = QStringLiteral("%1: %2").arg(path, result.error);
    return result;
}

QString mqttConfigPath(const QString& configFolder) {
    return configFolder + QStringLiteral("/kt7-logger/mqtt.conf");
}

QString defaultMqttStation() {
    QString name = QSysInfo::machineHostName();
    for (QChar& c : name)
        if (c == u'/' || c == u'+' || c == u'#')
            c = u'_';
    return name.isEmpty() ? QStringLiteral("kt7") : name;
}

MqttSettingsResult chosenMqttSettings(const QString& url, const QString& station,
                                      const QString& readings, const QString& configFolder) {
    return url.isEmpty() ? readMqttConfigFile(mqttConfigPath(configFolder), defaultMqttStation())
                         : mqttSettingsFrom(url, station, readings, defaultMqttStation());
}

} // namespace kt7
