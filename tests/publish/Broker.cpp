#include "Broker.h"
#include "TestCertificates.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port nothing listens on now: the kernel's choice for a socket bound to port 0.
quint16 freePort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

bool takesConnections(quint16 port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected =
        ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return connected;
}

} // namespace

Broker::Broker(const TestCertificates* tls) : port_(freePort()) {
    // Started as root, mosquitto would switch to its own user, who cannot write the folder.
    const passwd* user = getpwuid(geteuid());
    QFile config(folder_.filePath(QStringLiteral("mosquitto.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write("per_listener_settings true\n"
                 "listener " +
                 QByteArray::number(port_) +
                 " 127.0.0.1\n"
                 "allow_anonymous true\n"
                 "persistence true\n"
                 "persistence_location " +
                 QFile::encodeName(folder_.path()) + "/\nuser " + QByteArray(user->pw_name) + "\n");
    if (tls) {
        while (tlsPort_ == 0 || tlsPort_ == port_)
            tlsPort_ = freePort();
        config.write("listener " + QByteArray::number(tlsPort_) + " 127.0.0.1\ncafile " +
                     QFile::encodeName(tls->caFile()) + "\ncertfile " +
                     QFile::encodeName(tls->serverCertFile()) + "\nkeyfile " +
                     QFile::encodeName(tls->serverKeyFile()) +
                     "\nallow_anonymous false\npassword_file " +
                     QFile::encodeName(tls->passwordFile()) + "\n");
    }
    process_.setWorkingDirectory(folder_.path());
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
}

Broker::~Broker() {
    stop();
}

QString Broker::program() {
    QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                               {QStringLiteral("/usr/sbin")});
    return found;
}

// Returns once the broker takes connections, so that clients need not wait out a retry.
bool Broker::start() {
    process_.start(program(), {QStringLiteral("-c"), folder_.filePath("mosquitto.conf")});
    return process_.waitForStarted() &&
           QTest::qWaitFor([this] { return takesConnections(port_); }, 10000);
}

// SIGTERM: the broker saves its sessions and closes every connection.
bool Broker::stop() {
    if (process_.state() == QProcess::NotRunning)
        return true;
    process_.terminate();
    return process_.waitForFinished(10000);
}
