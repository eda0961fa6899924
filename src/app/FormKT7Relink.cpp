// A linked device whose port broke links itself again when the port returns.
#include "app/Form_KT7.h"

#include <QPushButton>
#include <QTimer>

namespace kt7 {

namespace {
// A port that is back but whose instrument stays silent is tried every five seconds, so the
// link's blocking wait does not take the window most of every second.
constexpr int SilentPortPauseRounds = 4;
} // namespace

void Form_KT7::awaitPortReturn(int index) {
    portReturn[index] = PortReturn::Awaited;
    relinkPause[index] = 0;
    MSCom[index]->close();
    Ch_Link[index]->setText(QStringLiteral("Link Waiting"));
    TimerRelink->start();
}

void Form_KT7::TimerRelink_Timer() {
    bool waiting = false;
    for (int i = 0; i < DeviceCount; ++i) {
        if (portReturn[i] != PortReturn::Awaited)
            continue;
        if (relinkPause[i] > 0)
            --relinkPause[i];
        else
            tryRelink(i);
        waiting = waiting || portReturn[i] == PortReturn::Awaited;
    }
    if (!waiting)
        TimerRelink->stop();
}

// The link as the link button makes it, without its message when the port cannot be opened:
// an absent port is the normal case here.
void Form_KT7::tryRelink(int index) {
    // The readings the port had when it broke go into the next tick's rows first.
    if (recorder.devicePoller().hasFinalText(index))
        return;
    SerialPort& port = *MSCom[index];
    if (!port.open().ok())
        return;
    QByteArray received;
    if (!listenForReading(index, received)) {
        port.close();
        relinkPause[index] = SilentPortPauseRounds;
        return;
    }
    portReturn[index] = PortReturn::Relinked;
    Ch_Link[index]->setText(QStringLiteral("Link On"));
    recorder.devicePoller().restartAfterLink(index, received);
}

} // namespace kt7
