#include "publish/MqttProblems.h"

#include <QRegularExpression>

namespace kt7 {

namespace {

const QString goesOn = QStringLiteral(" Publishing keeps trying; logging goes on.");

QString broker(const MqttSettings& settings) {
    return QStringLiteral("MQTT broker %1:%2").arg(settings.host).arg(settings.port);
}

QString checkCredentials() {
    return QStringLiteral(" Check username= and password= (or password_file=) in mqtt.conf.");
}

// OpenSSL's "error:0A000086:SSL routines::certificate verify failed" says it after the last "::".
QString reasonOf(QString line) {
    line.remove(QRegularExpression(QStringLiteral("^OpenSSL Error\\[\\d+\\]: ")));
    line.remove(QRegularExpression(QStringLiteral("^Error: ")));
    const qsizetype colons = line.lastIndexOf(QLatin1String("::"));
    return colons >= 0 ? line.mid(colons + 2) : line;
}

} // namespace

QString refusedConnectionText(int connackCode, const MqttSettings& settings) {
    const QString who = settings.userName.isEmpty()
                            ? QStringLiteral("a connection without a user name")
                            : QStringLiteral("user \"%1\"").arg(settings.userName);
    switch (connackCode) {
    case 4:
    case 134:
        return QStringLiteral("%1 refused %2: wrong user name or password.")
                   .arg(broker(settings), who) +
               checkCredentials() + goesOn;
    case 5:
    case 135:
        // mosquitto answers a wrong password with this code, too.
        return QStringLiteral("%1 refused %2: not authorised (a wrong password, or no right to "
                              "connect).")
                   .arg(broker(settings), who) +
               checkCredentials() + goesOn;
    default:
        return QStringLiteral("%1 refused the connection (CONNACK code %2).")
                   .arg(broker(settings))
                   .arg(connackCode) +
               goesOn;
    }
}

QString tlsFailureText(const QStringList& libraryErrors, const MqttSettings& settings) {
    QStringList reasons;
    for (const QString& line : libraryErrors)
        if (const QString reason = reasonOf(line); !reasons.contains(reason))
            reasons << reason;
    QString text =
        QStringLiteral("TLS connection to the %1 failed: %2.")
            .arg(broker(settings), reasons.isEmpty() ? QStringLiteral("no reason given")
                                                     : reasons.join(QLatin1String("; ")));
    if (reasons.contains(QLatin1String("certificate verify failed")))
        text += QStringLiteral(" Its certificate is not signed by %1, or does not name \"%2\".")
                    .arg(settings.caFile.isEmpty()
                             ? QStringLiteral("a CA of the system's store (or give cafile= in "
                                              "mqtt.conf)")
                             : QStringLiteral("the CA of %1").arg(settings.caFile),
                         settings.host);
    return text + goesOn;
}

QString hostNotFoundText(const QString& reason, const MqttSettings& settings) {
    return QStringLiteral("MQTT broker host \"%1\" not found: %2.").arg(settings.host, reason) +
           goesOn;
}

} // namespace kt7
