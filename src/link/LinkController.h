#pragma once

#include "acquisition/DevicePoller.h"
#include "link/DeviceSlots.h"
#include "platform/SerialPort.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace kt7 {

class Clock;
class MessageBoxes;

// Owns the eight device ports and knows which device holds which port: the link button's
// procedure, the port test, links made several at once, and the relink of a device whose port
// broke. Messages go to the front end's message boxes (or its error output).
class LinkController : public QObject {
    Q_OBJECT
  public:
    // A port that is back but whose instrument stays silent is tried every five seconds, so the
    // links do not keep a port open most of every second for nothing.
    static constexpr int SilentPortPauseRounds = 4;
    static constexpr int RelinkIntervalMs = 1000;
    // The most of a port's text a link or a port test looks at, newest last.
    static constexpr qsizetype LinkTextAtMost = 4096;

    // AsLinkButton: as if each link button were pressed (a failed link ends Off, silently).
    // KeepTrying: a device that cannot be opened or stays silent is told and waits for its port.
    enum class Several { AsLinkButton, KeepTrying };

    LinkController(DeviceSlots& table, SerialPortFactory& ports, Clock& clock,
                   MessageBoxes& messages, DevicePoller& poller);
    ~LinkController() override;

    SerialPort& port(int index) const { return *ports[index]; }
    QString portName(int index) const;
    // Every break of a linked port is told, not only the first after a link by hand.
    void tellEveryLoss(bool every) { everyLoss = every; }

    // A wanted device is unlinked first; choosing never opens the port.
    void choosePort(int index, int portNumber);
    // The link box of index was set to wanted (or not) by the user: false when another device
    // holds its port (told, nothing else changes).
    bool linkClicked(int index, bool wanted);
    // The port test: true when a reading was found (it is in the slot's value and unit).
    bool test(int index);
    // Opens the ports of every given device, waits once without blocking, then links each on its
    // newest reading; done runs after that, once. As the link button, a device whose port an
    // earlier one is linking waits for that link's end (one more wait) and is busy only if it
    // held.
    void linkSeveral(const QList<int>& devices, Several how, std::function<void()> done = {});
    // One round of the relink timer; the window calls it, a test may too.
    void relinkRound();
    QTimer* relinkTimer() { return &relinkTicker; }
    void closeAll();

    // The one probe of which port numbers lead to a port (held elsewhere counts as present).
    bool portExists(int portNumber);
    QList<int> presentPortNumbers();
    QString devicePathOf(int portNumber);

    // What the tick reads: only linked devices' ports.
    std::array<DeviceInput, DeviceCount> tickInputs() const;

  signals:
    // The slot's link state, value or unit changed outside a handler the front end called, or a
    // refused link box must show the slot again.
    void slotChanged(int index);
    void linked(int index, bool again);

  private:
    std::optional<int> holderOf(int index) const;
    void linkOff(int index);
    bool takeReading(int index, const QByteArray& received);
    void finishSeveral(QList<int> opened, Several how, bool relink);
    void onPortFailed(int index, const QString& reason);
    void awaitPortReturn(int index);
    void stopRelinkTimerWhenIdle();

    DeviceSlots& table;
    Clock& clock;
    MessageBoxes& messages;
    DevicePoller& poller;
    std::array<std::unique_ptr<SerialPort>, DeviceCount> ports;
    std::unique_ptr<SerialPort> probe;
    std::array<bool, DeviceCount> inSeveral{}; // its port is open for a link several at once
    QTimer relinkTicker;
    bool everyLoss = false;
};

} // namespace kt7
