#pragma once

#include <QProcess>
#include <QTemporaryDir>

class TestCertificates;

// A mosquitto broker of the test's own on 127.0.0.1 and a free port, from a temporary folder.
// It keeps persistent sessions across a stop and a start, so a subscriber with a persistent
// session misses nothing that reaches the broker while the subscriber is still reconnecting.
// Given certificates, it also listens with TLS on a second port, where only the users of their
// password file get in; the first port stays open to anyone, for the test's subscriber.
class Broker {
  public:
    explicit Broker(const TestCertificates* tls = nullptr);
    ~Broker();
    // Empty when the mosquitto binary is not installed.
    static QString program();
    quint16 port() const { return port_; }
    quint16 tlsPort() const { return tlsPort_; }
    bool start();
    bool stop();

  private:
    QTemporaryDir folder_;
    quint16 port_ = 0;
    quint16 tlsPort_ = 0;
    QProcess process_;
};
