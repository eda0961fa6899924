#include "publish/MqttSettings.h"

#include <QSysInfo>
#include <QUrl>

namespace kt7 {

namespace {

constexpr quint16 standardMqttPort = 1883;
constexpr quint16 standardMqttsPort = 8883;

MqttSettingsResult failure(const QString& error) {
    return {std::nullopt, error};
}

// A topic level may hold anything but the separators and wildcards of MQTT topics.
bool isTopicLevel(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'+') &&
           !name.contains(u'#') && !name.contains(QChar(0));
}

} // namespace

QString withoutPassword(const QString& url) {
    // Also for text that is no valid URL: the last '@' ends the user part, and a password may
    // hold '/' or '?' that a URL parser would take for the path.
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    const qsizetype start = scheme < 0 ? 0 : scheme + 3;
    const qsizetype at = url.lastIndexOf(u'@');
    const qsizetype colon = url.indexOf(u':', start);
    if (at < start || colon < 0 || colon > at)
        return url;
    return url.left(colon + 1) + QStringLiteral("***") + url.mid(at);
}

MqttSettingsResult mqttSettingsFrom(const QString& url, const QString& station,
                                    const QString& readings, const QString& defaultStation) {
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const bool tls = parsed.scheme() == QLatin1String("mqtts");
    if (!parsed.isValid() || (!tls && parsed.scheme() != QLatin1String("mqtt")) ||
        parsed.host().isEmpty() ||
        (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/")) || parsed.hasQuery() ||
        parsed.hasFragment() || parsed.port() == 0)
        return failure(QStringLiteral("MQTT broker address \"%1\" is not of the form "
                                      "mqtt[s]://host[:port]")
                           .arg(withoutPassword(url)));

    MqttSettings settings;
    settings.host = parsed.host();
    settings.tls = tls;
    settings.port = parsed.port() > 0 ? static_cast<quint16>(parsed.port())
                    : tls             ? standardMqttsPort
                                      : standardMqttPort;
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

} // namespace kt7
