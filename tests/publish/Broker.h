#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A mosquitto broker of the test's own on 127.0.0.1 and a free port, from a temporary folder.
// It keeps persistent sessions across a stop and a start, so a subscriber with a persistent
// session misses nothing that reaches the broker while the subscriber is still reconnecting.
class Broker {
  public:
    Broker();
    ~Broker();
    // Empty when the mosquitto binary is not installed.
    static QString program();
    quint16 port() const { return port_; }
    bool start();
    bool stop();

  private:
    QTemporaryDir folder_;
    quint16 port_ = 0;
    QProcess process_;
};
