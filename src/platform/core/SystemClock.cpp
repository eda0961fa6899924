#include "platform/core/SystemClock.h"

#include <QThread>

namespace kt7 {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

void SystemClock::blockingWait(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace kt7
