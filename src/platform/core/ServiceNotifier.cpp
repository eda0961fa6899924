#include "platform/core/ServiceNotifier.h"

#include <QByteArray>
#include <cstdlib>

#ifndef Q_OS_WIN
#include <systemd/sd-daemon.h>
#endif

namespace kt7 {

// Windows has no service manager of this kind: the notifier is never active there.
#ifdef Q_OS_WIN
ServiceNotifier::ServiceNotifier() = default;
void ServiceNotifier::send(const QByteArray&) const {}
#else
ServiceNotifier::ServiceNotifier() : enabled(std::getenv("NOTIFY_SOCKET") != nullptr) {}

void ServiceNotifier::send(const QByteArray& state) const {
    if (enabled)
        ::sd_notify(0, state.constData());
}
#endif

void ServiceNotifier::ready(const QString& line) const {
    send("READY=1\nSTATUS=" + line.toUtf8());
}

void ServiceNotifier::status(const QString& line) const {
    send("STATUS=" + line.toUtf8());
}

void ServiceNotifier::watchdog() const {
    send("WATCHDOG=1");
}

void ServiceNotifier::stopping() const {
    send("STOPPING=1");
}

} // namespace kt7
