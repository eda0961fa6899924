#include "publish/MqttSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace kt7 {

namespace {

const QStringList configKeys = {"url",           "station", "readings", "username", "password",
                                "password_file", "cafile",  "certfile", "keyfile"};

MqttSettingsResult failure(const QString& error) {
    return {std::nullopt, error};
}

// A path as it can be pasted into a shell.
QString shellQuoted(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+,:@%-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    return u'\'' + QString(path).replace(u'\'', QLatin1String("'\\''")) + u'\'';
}

// A secret in a file that others can read is as good as told: refused, as ssh refuses such keys.
// Windows keeps access in ACLs that Qt's permission bits do not show: there the rule is not
// enforced (%APPDATA% is the user's own folder to begin with).
QString exposedSecret(const QString& path, const QString& what) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(what);
    return {};
#endif
    const QFileDevice::Permissions permissions = QFileInfo(path).permissions();
    if (!(permissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther)))
        return {};
    return QStringLiteral("%1 holds %2 that other users can read; it is not used until only its "
                          "owner can read it: chmod 600 %3")
        .arg(path, what, shellQuoted(path));
}

// The "key=value" lines of the file, or the message that says which line is wrong.
struct ConfigLines {
    QHash<QString, QString> values;
    QString error;
};

ConfigLines readConfigLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {{}, QStringLiteral("%1: %2").arg(path, file.errorString())};
    ConfigLines lines;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).trimmed();
        if (equals < 0 || !configKeys.contains(key))
            return {{},
                    QStringLiteral("%1, line %2: expected %3=")
                        .arg(path)
                        .arg(lineNumber)
                        .arg(configKeys.join(QLatin1String("=, ")))};
        lines.values.insert(key, line.mid(equals + 1).trimmed());
    }
    return lines;
}

// The first line of a password file, without its line end.
QString readPasswordFile(const QString& path, QString& error) {
    error = exposedSecret(path, QStringLiteral("a password"));
    if (!error.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 (password_file=): %2").arg(path, file.errorString());
        return {};
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        error = QStringLiteral("%1 (password_file=) holds no password").arg(path);
    return QString::fromUtf8(line);
}

// Adds the config file's user, password and TLS files to settings; the message when they cannot
// be used. A file path may be relative to the config file's folder.
QString addSecrets(MqttSettings& settings, const QHash<QString, QString>& values,
                   const QString& path) {
    const QDir folder = QFileInfo(path).absoluteDir();
    const auto file = [&](const char* key) {
        const QString value = values.value(QLatin1String(key));
        return value.isEmpty() ? value : QDir::cleanPath(folder.absoluteFilePath(value));
    };
    const QString passwordFile = file("password_file");
    const QString password = values.value(QStringLiteral("password"));
    const int passwords =
        int(!password.isEmpty()) + int(!passwordFile.isEmpty()) + int(!settings.password.isEmpty());
    if (passwords > 1)
        return QStringLiteral("%1: give the password once, as password= or password_file=")
            .arg(path);
    if (!settings.password.isEmpty() || !password.isEmpty())
        if (QString exposed = exposedSecret(path, QStringLiteral("a password")); !exposed.isEmpty())
            return exposed;
    QString error;
    if (!passwordFile.isEmpty())
        settings.password = readPasswordFile(passwordFile, error);
    else if (!password.isEmpty())
        settings.password = password;
    if (!error.isEmpty())
        return error;
    if (settings.userName.isEmpty())
        settings.userName = values.value(QStringLiteral("username"));
    if (!settings.password.isEmpty() && settings.userName.isEmpty())
        return QStringLiteral("%1: a password needs a user name (username=)").arg(path);

    settings.caFile = file("cafile");
    settings.certFile = file("certfile");
    settings.keyFile = file("keyfile");
    if (!settings.tls && !(settings.caFile + settings.certFile + settings.keyFile).isEmpty())
        return QStringLiteral("%1: cafile=, certfile= and keyfile= are for an mqtts:// broker")
            .arg(path);
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty())
        return QStringLiteral("%1: certfile= and keyfile= go together").arg(path);
    for (const QString& tlsFile : {settings.caFile, settings.certFile, settings.keyFile})
        if (!tlsFile.isEmpty() && !QFileInfo(tlsFile).isReadable())
            return QStringLiteral("%1: %2 cannot be read").arg(path, tlsFile);
    if (!settings.keyFile.isEmpty())
        return exposedSecret(settings.keyFile, QStringLiteral("a private key"));
    return {};
}

} // namespace

MqttSettingsResult readMqttConfigFile(const QString& path, const QString& defaultStation) {
    if (!QFile::exists(path))
        return {};
    const ConfigLines lines = readConfigLines(path);
    if (!lines.error.isEmpty())
        return failure(lines.error);
    const QString url = lines.values.value(QStringLiteral("url"));
    if (url.isEmpty())
        return failure(QStringLiteral("%1: no url= line names the MQTT broker").arg(path));
    MqttSettingsResult result =
        mqttSettingsFrom(url, lines.values.value(QStringLiteral("station")),
                         lines.values.value(QStringLiteral("readings")), defaultStation);
    if (!result.settings)
        return failure(QStringLiteral("%1: %2").arg(path, result.error));
    if (const QString error = addSecrets(*result.settings, lines.values, path); !error.isEmpty())
        return failure(error);
    return result;
}

MqttSettingsResult chosenMqttSettings(const QString& url, const QString& station,
                                      const QString& readings, const QString& configFolder) {
    const QString path = mqttConfigPath(configFolder);
    if (url.isEmpty())
        return readMqttConfigFile(path, defaultMqttStation());
    if (!QUrl(url.trimmed()).password().isEmpty())
        return failure(QStringLiteral("MQTT broker address \"%1\": a password on the command line "
                                      "is shown to every user (ps); give the address without it "
                                      "and put the password in %2 as password= or password_file=")
                           .arg(withoutPassword(url), path));
    MqttSettingsResult result = mqttSettingsFrom(url, station, readings, defaultMqttStation());
    if (!result.settings || !QFile::exists(path))
        return result;
    const ConfigLines lines = readConfigLines(path);
    if (!lines.error.isEmpty())
        return failure(lines.error);
    if (const QString error = addSecrets(*result.settings, lines.values, path); !error.isEmpty())
        return failure(error);
    return result;
}

} // namespace kt7
