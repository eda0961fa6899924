#include "link/LinkController.h"

#include "acquisition/LatestReading.h"
#include "link/LinkMessages.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/core/PortNumbering.h"

namespace kt7 {

namespace {
// What a link or a port test reads after its wait: the newest reading ends the text, so its tail
// is enough, and a port that flooded during the wait costs no more than that.
QByteArray newestText(SerialPort& port) {
    return port.readAll().right(LinkController::LinkTextAtMost);
}

QString busyMessage(int device) {
    return QStringLiteral("Communication Port is opened by Decice : ") + QLatin1Char(' ') +
           QString::number(device + 1);
}
} // namespace

LinkController::LinkController(DeviceSlots& table, SerialPortFactory& portFactory, Clock& clock,
                               MessageBoxes& messages, DevicePoller& poller)
    : table(table), clock(clock), messages(messages), poller(poller) {
    for (int i = 0; i < DeviceCount; ++i) {
        ports[i] = portFactory.create();
        // A broken port is handled after the handler or tick that noticed it has finished.
        connect(
            ports[i].get(), &SerialPort::failed, this,
            [this, i](const QString& reason) { onPortFailed(i, reason); }, Qt::QueuedConnection);
    }
    probe = portFactory.create();
    relinkTicker.setInterval(RelinkIntervalMs);
    connect(&relinkTicker, &QTimer::timeout, this, &LinkController::relinkRound);
}

LinkController::~LinkController() {
    closeAll();
}

QString LinkController::portName(int index) const {
    return QStringLiteral("COM %1").arg(ports[index]->portNumber());
}

void LinkController::choosePort(int index, int portNumber) {
    if (table[index].wanted())
        linkOff(index);
    table[index].portNumber = portNumber;
    ports[index]->setPortNumber(portNumber);
}

// The first other device in ascending order whose box is down on the same port number.
std::optional<int> LinkController::holderOf(int index) const {
    for (int i = 0; i < DeviceCount; ++i)
        if (i != index && table[i].wanted() && ports[i]->portNumber() == ports[index]->portNumber())
            return i;
    return std::nullopt;
}

void LinkController::linkOff(int index) {
    DeviceSlot& slot = table[index];
    slot.link = LinkState::Off;
    slot.relinkedAlone = false;
    inSeveral[index] = false;
    if (ports[index]->isOpen())
        ports[index]->close();
}

bool LinkController::linkClicked(int index, bool wanted) {
    if (const std::optional<int> holder = holderOf(index)) {
        // The box the user set shows the slot again before the message holds the front end.
        emit slotChanged(index);
        messages.show(busyMessage(*holder));
        return false;
    }
    if (!wanted) {
        linkOff(index);
        return true;
    }
    SerialPort& port = *ports[index];
    const PortOpenResult opened = port.isOpen() ? PortOpenResult{} : port.open();
    if (!opened.ok()) {
        linkOff(index);
        messages.show(portOpenFailureText(index, port.portNumber(), port.devicePath(), opened));
        return true;
    }
    table[index].link = LinkState::Linking;
    inSeveral[index] = false;
    clock.blockingWait(DevicePoller::LinkWaitMs);
    if (takeReading(index, newestText(port))) {
        table[index].link = LinkState::Linked;
        table[index].relinkedAlone = false;
        emit linked(index, false);
    } else {
        linkOff(index);
    }
    return true;
}

// The latest complete reading goes to the slot's value and unit; the stream starts after it.
bool LinkController::takeReading(int index, const QByteArray& received) {
    const LatestReading reading = parseLatestReading(received);
    if (!reading.found)
        return false;
    DeviceSlot& slot = table[index];
    slot.show(reading);
    if (slot.tareAtLink)
        table.setTare(index, true, slot.valueText);
    poller.restartAfterLink(index, received);
    return true;
}

bool LinkController::test(int index) {
    SerialPort& port = *ports[index];
    int owner = -1;
    for (int i = 0; i < DeviceCount; ++i)
        if (ports[i]->portNumber() == port.portNumber() && ports[i]->isOpen())
            owner = i;
    if (owner >= 0) {
        messages.show(busyMessage(owner));
        return false;
    }
    const PortOpenResult opened = port.open();
    if (!opened.ok()) {
        port.close();
        messages.show(portOpenFailureText(index, port.portNumber(), port.devicePath(), opened));
        return false;
    }
    clock.blockingWait(DevicePoller::LinkWaitMs);
    const LatestReading reading = parseLatestReading(newestText(port));
    if (reading.found) {
        table[index].show(reading);
    } else {
        messages.show(QStringLiteral("Com Port Test False"));
    }
    port.close();
    return reading.found;
}

void LinkController::linkSeveral(const QList<int>& devices, Several how,
                                 std::function<void()> done) {
    QList<int> opened;
    // Their port is being linked for an earlier device: judged once that link has ended, as
    // pressing the link buttons one by one would.
    QList<int> later;
    for (int i : devices) {
        if (table[i].link == LinkState::Linked || inSeveral[i])
            continue;
        if (const std::optional<int> holder = holderOf(i); holder && how == Several::AsLinkButton) {
            if (opened.contains(*holder))
                later << i;
            else
                messages.show(busyMessage(*holder));
            continue;
        }
        SerialPort& port = *ports[i];
        const PortOpenResult result = port.isOpen() ? PortOpenResult{} : port.open();
        if (!result.ok()) {
            messages.show(portOpenFailureText(i, port.portNumber(), port.devicePath(), result));
            if (how == Several::KeepTrying)
                awaitPortReturn(i);
            else
                linkOff(i);
            emit slotChanged(i);
            continue;
        }
        table[i].link = LinkState::Linking;
        inSeveral[i] = true;
        opened << i;
        emit slotChanged(i);
    }
    if (opened.isEmpty()) {
        if (done)
            done();
        return;
    }
    clock.waitThen(DevicePoller::LinkWaitMs, this, [this, opened, how, done, later] {
        finishSeveral(opened, how, false);
        if (!later.isEmpty())
            linkSeveral(later, how, done);
        else if (done)
            done();
    });
}

// After the common wait: each device still linking (not unlinked by the user meanwhile) links on
// its newest reading, or ends as its way of linking says.
void LinkController::finishSeveral(QList<int> opened, Several how, bool relink) {
    for (int i : opened) {
        const LinkState expected = relink ? LinkState::Waiting : LinkState::Linking;
        if (!inSeveral[i] || table[i].link != expected || !ports[i]->isOpen())
            continue;
        inSeveral[i] = false;
        if (takeReading(i, newestText(*ports[i]))) {
            table[i].link = LinkState::Linked;
            table[i].relinkedAlone = relink;
            emit slotChanged(i);
            emit linked(i, relink);
            continue;
        }
        if (relink || how == Several::KeepTrying) {
            if (!relink)
                messages.show(QStringLiteral("Device %1 (%2) sent no reading; it is tried again "
                                             "every few seconds.")
                                  .arg(QString::number(i + 1), portName(i)));
            awaitPortReturn(i);
            table[i].relinkPause = SilentPortPauseRounds;
        } else {
            linkOff(i);
        }
        emit slotChanged(i);
    }
    stopRelinkTimerWhenIdle();
}

// A waiting device is tried when its pause is over and the readings its port left are logged;
// an absent port is the normal case here and is not told.
void LinkController::relinkRound() {
    QList<int> opened;
    for (int i = 0; i < DeviceCount; ++i) {
        DeviceSlot& slot = table[i];
        if (slot.link != LinkState::Waiting || inSeveral[i] || poller.hasFinalText(i))
            continue;
        if (slot.relinkPause > 0) {
            --slot.relinkPause;
            continue;
        }
        if (!ports[i]->open().ok())
            continue;
        inSeveral[i] = true;
        opened << i;
    }
    if (!opened.isEmpty())
        clock.waitThen(DevicePoller::LinkWaitMs, this,
                       [this, opened] { finishSeveral(opened, Several::KeepTrying, true); });
    stopRelinkTimerWhenIdle();
}

void LinkController::stopRelinkTimerWhenIdle() {
    for (int i = 0; i < DeviceCount; ++i)
        if (table[i].link == LinkState::Waiting)
            return;
    relinkTicker.stop();
}

// What the port had received goes into the next tick's rows; the device waits for its port.
void LinkController::onPortFailed(int index, const QString& reason) {
    if (table[index].link != LinkState::Linked)
        return;
    const bool tell = everyLoss || !table[index].relinkedAlone;
    poller.keepFinalText(index, ports[index]->readAll());
    awaitPortReturn(index);
    emit slotChanged(index);
    if (tell)
        messages.show(lostLinkText(index, portName(index), ports[index]->devicePath(), reason));
}

void LinkController::awaitPortReturn(int index) {
    table[index].link = LinkState::Waiting;
    table[index].relinkPause = 0;
    inSeveral[index] = false;
    ports[index]->close();
    relinkTicker.start();
}

void LinkController::closeAll() {
    relinkTicker.stop();
    for (auto& port : ports)
        if (port)
            port->close();
}

bool LinkController::portExists(int portNumber) {
    probe->setPortNumber(portNumber);
    const PortOpenResult result = probe->open();
    probe->close();
    return result.error != PortOpenError::NotFound;
}

QList<int> LinkController::presentPortNumbers() {
    QList<int> present;
    for (int n = 1; n <= HighestPortNumber; ++n)
        if (portExists(n))
            present.append(n);
    return present;
}

QString LinkController::devicePathOf(int portNumber) {
    probe->setPortNumber(portNumber);
    return probe->devicePath();
}

std::array<DeviceInput, DeviceCount> LinkController::tickInputs() const {
    std::array<DeviceInput, DeviceCount> inputs;
    for (int i = 0; i < DeviceCount; ++i)
        inputs[i] = {table[i].link == LinkState::Linked, ports[i].get(), table[i].unit,
                     table[i].tare};
    return inputs;
}

} // namespace kt7
