// Port choice, link, port test and tare of the eight device slots.
#include "acquisition/LatestReading.h"
#include "app/Form_KT7.h"
#include "record/LoggerMessages.h"
#include "text/NumberFromText.h"
#include "text/NumberText.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace kt7 {

namespace {

QString busyMessage(int device) {
    return QStringLiteral("Communication Port is opened by Decice : ") + QLatin1Char(' ') +
           QString::number(device + 1);
}
} // namespace

QString Form_KT7::portName(int index) const {
    return QStringLiteral("COM %1").arg(MSCom[index]->portNumber());
}

void Form_KT7::CombMSCom_Click(int index) {
    // A linked device keeps its port open; moving it to another port starts from Off.
    if (Ch_Link[index]->isChecked())
        linkOff(index);
    MSCom[index]->setPortNumber(static_cast<qint16>(CombMSCom[index]->currentData().toInt()));
}

void Form_KT7::linkOff(int index) {
    portReturn[index] = PortReturn::NotWatched;
    Ch_Link[index]->setText(QStringLiteral("Link Off"));
    {
        const QSignalBlocker quiet(Ch_Link[index]);
        Ch_Link[index]->setChecked(false);
    }
    if (MSCom[index]->isOpen())
        MSCom[index]->close();
}

void Form_KT7::reportOpenFailure(int index, const PortOpenResult& result) {
    platform.messages.show(
        portOpenFailureText(index, MSCom[index]->portNumber(), MSCom[index]->devicePath(), result));
}

void Form_KT7::Ch_Link_Click(int index) {
    SerialPort& port = *MSCom[index];
    for (int i = 0; i < DeviceCount; ++i) {
        if (i == index || !Ch_Link[i]->isChecked() || MSCom[i]->portNumber() != port.portNumber())
            continue;
        const QSignalBlocker quiet(Ch_Link[index]);
        Ch_Link[index]->setChecked(false);
        platform.messages.show(busyMessage(i));
        return;
    }
    bool good = false;
    QByteArray received;
    if (Ch_Link[index]->isChecked()) {
        const PortOpenResult opened = port.isOpen() ? PortOpenResult{} : port.open();
        if (!opened.ok()) {
            linkOff(index);
            reportOpenFailure(index, opened);
            return;
        }
        good = listenForReading(index, received);
    }
    if (good && Ch_Link[index]->isChecked()) {
        Ch_Link[index]->setText(QStringLiteral("Link On"));
        recorder.devicePoller().restartAfterLink(index, received);
        return;
    }
    linkOff(index);
}

// The link's wait for the instrument: its latest complete reading goes to the labels.
bool Form_KT7::listenForReading(int index, QByteArray& received) {
    platform.clock.blockingWait(DevicePoller::LinkWaitMs);
    received = MSCom[index]->readAll();
    const LatestReading reading = parseLatestReading(received);
    if (!reading.found)
        return false;
    LabMSData[index]->setText(numberText(reading.value));
    LabMSUnit[index]->setText(reading.unit);
    return true;
}

void Form_KT7::ComTest_Click(int index) {
    SerialPort& port = *MSCom[index];
    int owner = -1;
    for (int i = 0; i < DeviceCount; ++i)
        if (MSCom[i]->portNumber() == port.portNumber() && MSCom[i]->isOpen())
            owner = i;
    if (owner >= 0) {
        platform.messages.show(busyMessage(owner));
        return;
    }
    const PortOpenResult opened = port.open();
    if (!opened.ok()) {
        port.close();
        reportOpenFailure(index, opened);
        return;
    }
    platform.clock.blockingWait(DevicePoller::LinkWaitMs);
    const LatestReading reading = parseLatestReading(port.readAll());
    if (reading.found) {
        LabMSData[index]->setText(numberText(reading.value));
        LabMSUnit[index]->setText(reading.unit);
    } else {
        platform.messages.show(QStringLiteral("Com Port Test False"));
    }
    port.close();
}

void Form_KT7::Tare_Click(int index) {
    const QString device = QString::number(index + 1);
    if (Tare[index]->isChecked()) {
        Tare[index]->setText(QStringLiteral("Tare On") + QStringLiteral("  Device ") + device);
        st.TareOffsets[index] = TareOffset::of(numberFromText(LabMSData[index]->text()));
    } else {
        Tare[index]->setText(QStringLiteral("Tare Off") + QStringLiteral(" Device ") + device);
        st.TareOffsets[index] = TareOffset::zero();
    }
}

// The device waits for its port to return; only the first break after the user's own link is
// reported, so a port that keeps dropping out does not pile up message boxes.
void Form_KT7::onPortFailed(int index, const QString& reason) {
    if (!Ch_Link[index]->isChecked() || portReturn[index] == PortReturn::Awaited)
        return;
    const bool report = portReturn[index] == PortReturn::NotWatched;
    recorder.devicePoller().keepFinalText(index, MSCom[index]->readAll());
    awaitPortReturn(index);
    if (!report)
        return;
    platform.messages.show(
        lostLinkText(index, portName(index), MSCom[index]->devicePath(), reason));
}

} // namespace kt7
