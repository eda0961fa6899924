// COM numbers for new ports, the port lists' tooltips, and lists brought up to date when opened.
#include "app/Form_KT7.h"
#include "platform/core/PortNumbering.h"
#include "platform/widgets/PortListBox.h"

#include <QComboBox>

namespace kt7 {

void Form_KT7::numberNewPorts() {
    portMap = assignPortNumbers(platform.catalogue);
}

void Form_KT7::describePortEntries() {
    for (int n = 1; n <= HighestPortNumber; ++n) {
        const QString path = logSession.devicePathOf(n);
        const QString tip = portToolTip(path, portBehind(path, portMap.ports));
        for (QComboBox* list : CombMSCom)
            if (const int entry = list->findData(n); entry >= 0)
                list->setItemData(entry, tip, Qt::ToolTipRole);
    }
}

void Form_KT7::CombMSCom_DropDown(int /*index*/) {
    numberNewPorts();
    const QList<int> present = logSession.presentPortNumbers();
    for (QComboBox* list : CombMSCom)
        refillPortList(list, present);
    describePortEntries();
}

} // namespace kt7
