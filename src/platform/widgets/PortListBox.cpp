#include "platform/widgets/PortListBox.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>

namespace kt7 {

void refillPortList(QComboBox* list, const QList<int>& present) {
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
    if (chosen == 0 && list->count() > 0)
        list->setCurrentIndex(0);
}

} // namespace kt7
