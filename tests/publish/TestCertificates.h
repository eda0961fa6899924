#pragma once

#include <QTemporaryDir>

// Throw-away TLS material and a password file for a test broker, made with openssl and
// mosquitto_passwd in a temporary folder: a CA, a server certificate it signs for 127.0.0.1 and
// localhost, and a second CA that signs nothing here.
class TestCertificates {
  public:
    // Empty when all was made; otherwise what failed (a tool not installed, for instance).
    QString make(const QString& user, const QString& password);
    QString caFile() const { return path("ca.crt"); }
    QString otherCaFile() const { return path("other-ca.crt"); }
    QString serverCertFile() const { return path("server.crt"); }
    QString serverKeyFile() const { return path("server.key"); }
    QString passwordFile() const { return path("passwords"); }

  private:
    QString path(const char* name) const { return folder_.filePath(QLatin1String(name)); }
    QString run(const QString& program, const QStringList& arguments, const QByteArray& input = {});

    QTemporaryDir folder_;
};
