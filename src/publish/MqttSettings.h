#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kt7 {

// Which readings go to the broker: the rows written to the log, or every reading polled.
enum class PublishedReadings { LoggedRows, EveryReading };

// Where and as whom the logger publishes. Off unless asked for: no settings, no publisher.
struct MqttSettings {
    QString host;
    quint16 port = 1883;
    bool tls = false; // mqtts://
    QString caFile;   // empty: the system's CA store
    QString certFile; // a client certificate, with keyFile
    QString keyFile;
    QString userName;
    QString password;
    QString station; // the second topic level: kt7/<station>/<device>
    PublishedReadings readings = PublishedReadings::LoggedRows;

    bool operator==(const MqttSettings&) const = default;
};

// Settings, or the message that says why there are none.
struct MqttSettingsResult {
    std::optional<MqttSettings> settings;
    QString error;
};

// Builds the settings from their text form, as given after --mqtt and its companions or in the
// config file: url "mqtt[s]://[user[:password]@]host[:port]", station (empty: defaultStation),
// readings "all" or "logged" (empty: logged).
MqttSettingsResult mqttSettingsFrom(const QString& url, const QString& station,
                                    const QString& readings, const QString& defaultStation);

// The address with any password in it replaced by "***", for messages.
QString withoutPassword(const QString& url);

// Reads the config file's "key=value" lines ('#' starts a comment): url, station, readings,
// username, password or password_file, cafile, certfile, keyfile. A file that is not there means
// publishing is off: no settings and no error. A file holding a secret that other users can read
// is refused.
MqttSettingsResult readMqttConfigFile(const QString& path, const QString& defaultStation);

// The settings a program publishes with: those of --mqtt URL and its companions when a URL is
// given (its secrets and TLS files from the config file, never from the command line), or else
// the config file under the config folder.
MqttSettingsResult chosenMqttSettings(const QString& url, const QString& station,
                                      const QString& readings, const QString& configFolder);

// <config folder>/kt7-logger/mqtt.conf
QString mqttConfigPath(const QString& configFolder);

// This machine's name as a topic level (QSysInfo::machineHostName(), '/', '+', '#' replaced).
QString defaultMqttStation();

} // namespace kt7
