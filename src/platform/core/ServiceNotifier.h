#pragma once

#include <QString>

namespace kt7 {

// Tells a service manager (systemd, Type=notify) how the logger is doing: ready once logging,
// the status line, a watchdog beat from every tick (when its watchdog is meant for this process),
// stopping at the end. Does nothing when the program was not started by one (no NOTIFY_SOCKET),
// nor on Windows.
class ServiceNotifier {
  public:
    ServiceNotifier();
    bool active() const { return enabled; }
    void ready(const QString& status) const;
    void status(const QString& status) const;
    void watchdog() const;
    void stopping() const;

  private:
    void send(const QByteArray& state) const;
    bool enabled = false;
    bool watchdogWanted = false;
};

} // namespace kt7
