#include "TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {
// P-256 keys: made in milliseconds, unlike RSA ones.
const QStringList newKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
} // namespace

QString TestCertificates::run(const QString& program, const QStringList& arguments,
                              const QByteArray& input) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return program + QStringLiteral(" is not installed");
    QProcess process;
    process.setWorkingDirectory(folder_.path());
    process.start(found, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") +
               QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

QString TestCertificates::make(const QString& user, const QString& password) {
    if (!folder_.isValid())
        return QStringLiteral("no temporary folder");
    QFile extensions(path("server.ext"));
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n") < 0)
        return QStringLiteral("cannot write ") + extensions.fileName();
    extensions.close();
    const QByteArray twice = (password + u'\n' + password + u'\n').toUtf8();
    for (const auto& [program, arguments, input] :
         std::initializer_list<std::tuple<QString, QStringList, QByteArray>>{
             {"openssl",
              QStringList{"req", "-x509"} + newKey +
                  QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2", "-subj",
                              "/CN=kt7 test CA"},
              {}},
             {"openssl",
              QStringList{"req", "-x509"} + newKey +
                  QStringList{"-keyout", "other-ca.key", "-out", "other-ca.crt", "-days", "2",
                              "-subj", "/CN=kt7 other CA"},
              {}},
             {"openssl",
              QStringList{"req"} + newKey +
                  QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                              "/CN=localhost"},
              {}},
             {"openssl",
              {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
               "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile", "server.ext"},
              {}},
             // The password on standard input: never in a process list.
             {"mosquitto_passwd", {"-c", "passwords", user}, twice}})
        if (QString error = run(program, arguments, input); !error.isEmpty())
            return error;
    return {};
}
