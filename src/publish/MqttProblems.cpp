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

// OpenSSL's "error:0A000086:SSL routines::certificate verify failed" says it after the last "::";
// a closing full stop is left to the message that joins the reasons.
QString reasonOf(QString line) {
    line.remove(QRegularExpression(QStringLiteral("^OpenSSL Error\\[\\d+\\]: ")));
    line.remove(QRegularExpression(QStringLiteral("^Error: ")));
    line.remove(QRegularExpression(QStringLiteral("[.\\s]+$")));
    const qsizetype colons = line.lastIndexOf(QLatin1String("::"));
    return colons >= 0 ? line.mid(colons + 2) : line;
}

} // namespace

MqttProblem refusedConnection(int connackCode, const MqttSettings& settings) {
    const QString who = settings.userName.isEmpty()
                            ? QStringLiteral("a connection without a user name")
                            : QStringLiteral("user \"%1\"").arg(settings.userName);
    QString cause;
    QString advice = checkCredentials();
    switch (connackCode) {
    case 4:
    case 134:
        cause = QStringLiteral("refused %1: wrong user name or password").arg(who);
        break;
    case 5:
    case 135:
        // mosquitto answers a wrong password with this code, too.
        cause = QStringLiteral("refused %1: not authorised (a wrong password, or no right to "
                               "connect)")
                    .arg(who);
        break;
    default:
        cause = QStringLiteral("refused the connection (CONNACK code %1)").arg(connackCode);
        advice.clear();
    }
    return {broker(settings) + QLatin1Char(' ') + cause + QLatin1Char('.') + advice + goesOn,
            cause};
}

MqttProblem tlsFailure(const QStringList& libraryErrors, const MqttSettings& settings) {
    QStringList reasons;
    for (const QString& line : libraryErrors)
        if (const QString reason = reasonOf(line); !reasons.contains(reason))
            reasons << reason;
    const QString why =
        reasons.isEmpty() ? QStringLiteral("no reason given") : reasons.join(QLatin1String("; "));
    QString text =
        QStringLiteral("TLS connection to the %1 failed: %2.").arg(broker(settings), why);
    if (reasons.contains(QLatin1String("certificate verify failed")))
        text += QStringLiteral(" Its certificate is not signed by %1, or does not name \"%2\".")
                    .arg(settings.caFile.isEmpty()
                             ? QStringLiteral("a CA of the system's store (or give cafile= in "
                                              "mqtt.conf)")
                             : QStringLiteral("the CA of %1").arg(settings.caFile),
                         settings.host);
    return {text + goesOn, QStringLiteral("TLS failed: ") + why};
}

MqttProblem hostNotFound(const QString& reason, const MqttSettings& settings) {
    const QString cause = QStringLiteral("host \"%1\" not found: %2").arg(settings.host, reason);
    return {QStringLiteral("MQTT broker %1.").arg(cause) + goesOn, cause};
}

} // namespace kt7
