// Port choice, link, port test and tare of the eight device slots: the session's link controller
// does the work, the device columns show its slots.
#include "app/Form_KT7.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace kt7 {

void Form_KT7::CombMSCom_Click(int index) {
    // A linked device keeps its port open; moving it to another port starts from Off.
    logSession.choosePort(index, CombMSCom[index]->currentData().toInt());
    showLink(index);
}

void Form_KT7::Ch_Link_Click(int index) {
    logSession.linkClicked(index, Ch_Link[index]->isChecked());
    showLink(index);
    if (logSession.slot(index).link == LinkState::Linked)
        showReading(index);
}

void Form_KT7::ComTest_Click(int index) {
    if (logSession.testPort(index))
        showReading(index);
}

void Form_KT7::Tare_Click(int index) {
    logSession.setTare(index, Tare[index]->isChecked(), LabMSData[index]->text());
    showTare(index);
}

void Form_KT7::showTare(int index) {
    const QString device = QString::number(index + 1);
    const bool on = logSession.slot(index).tareOn;
    {
        const QSignalBlocker quiet(Tare[index]);
        Tare[index]->setChecked(on);
    }
    Tare[index]->setText(on ? QStringLiteral("Tare On") + QStringLiteral("  Device ") + device
                            : QStringLiteral("Tare Off") + QStringLiteral(" Device ") + device);
}

void Form_KT7::showDevice(int index) {
    showLink(index);
    showReading(index);
}

// A device being linked keeps the caption it had; a waiting one keeps its box down, so no other
// device takes its port meanwhile.
void Form_KT7::showLink(int index) {
    const DeviceSlot& slot = logSession.slot(index);
    {
        const QSignalBlocker quiet(Ch_Link[index]);
        Ch_Link[index]->setChecked(slot.wanted());
    }
    if (slot.link == LinkState::Off)
        Ch_Link[index]->setText(QStringLiteral("Link Off"));
    else if (slot.link == LinkState::Linked)
        Ch_Link[index]->setText(QStringLiteral("Link On"));
    else if (slot.link == LinkState::Waiting)
        Ch_Link[index]->setText(QStringLiteral("Link Waiting"));
}

void Form_KT7::showReading(int index) {
    const DeviceSlot& slot = logSession.slot(index);
    LabMSData[index]->setText(slot.valueText);
    LabMSUnit[index]->setText(slot.unit);
}

} // namespace kt7
