#include "platform/core/ServiceNotifier.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#ifndef Q_OS_WIN
#include <systemd/sd-daemon.h>
#endif

namespace kt7 {

namespace {
#ifndef Q_OS_WIN
bool notifySocketGiven() {
    return std::getenv("NOTIFY_SOCKET") != nullptr;
}
// WATCHDOG_USEC set, and WATCHDOG_PID (when given) naming this process: a watchdog meant for a
// parent or a sibling is none of ours.
bool watchdogMeantForUs() {
    std::uint64_t usec = 0;
    return ::sd_watchdog_enabled(0, &usec) > 0;
}
#else
// No systemd on Windows: nothing to tell.
bool notifySocketGiven() {
    return false;
}
bool watchdogMeantForUs() {
    return false;
}
#endif
} // namespace

ServiceNotifier::ServiceNotifier()
    : enabled(notifySocketGiven()), watchdogWanted(enabled && watchdogMeantForUs()) {}

void ServiceNotifier::send(const QByteArray& state) const {
#ifndef Q_OS_WIN
    if (enabled)
        ::sd_notify(0, state.constData());
#else
    Q_UNUSED(state);
#endif
}

void ServiceNotifier::ready(const QString& line) const {
    send("READY=1\nSTATUS=" + line.toUtf8());
}

void ServiceNotifier::status(const QString& line) const {
    send("STATUS=" + line.toUtf8());
}

void ServiceNotifier::watchdog() const {
    if (watchdogWanted)
        send("WATCHDOG=1");
}

void ServiceNotifier::stopping() const {
    send("STOPPING=1");
}

} // namespace kt7
