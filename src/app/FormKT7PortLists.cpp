// COM numbers for new ports, the port lists' tooltips, and lists brought up to date when opened.
#include "app/Form_KT7.h"
#include "platform/core/PortNumbering.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace kt7 {

void Form_KT7::numberNewPorts() {
    portMap = assignPortNumbers(platform.catalogue);
}

// Entries for the present numbers, and for the chosen one even when its port went away; the
// choice stays as it was, without running the port choice again.
void Form_KT7::refillPortList(QComboBox* list, const QList<int>& present) {
    const int chosen = list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
    QList<int> numbers = present;
    if (chosen > 0 && !numbers.contains(chosen)) {
        numbers.append(chosen);
        std::sort(numbers.begin(), numbers.end());
    }
    {
        const QSignalBlocker quiet(list);
        list->clear();
        for (int n : numbers)
            list->addItem(QStringLiteral("COM %1").arg(n), n);
        list->setCurrentIndex(list->findData(chosen));
    }
    // A list that was empty gets its first entry chosen, as at start-up.
    if (chosen == 0 && list->count() > 0)
        list->setCurrentIndex(0);
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
