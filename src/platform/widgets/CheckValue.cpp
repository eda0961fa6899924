#include "platform/widgets/CheckValue.h"

#include <QCheckBox>

namespace kt7 {

int checkValue(const QAbstractButton* box) {
    if (const auto* check = qobject_cast<const QCheckBox*>(box))
        return check->checkState() == Qt::PartiallyChecked ? 2 : (check->isChecked() ? 1 : 0);
    return box->isChecked() ? 1 : 0;
}

void setCheckValue(QAbstractButton* box, int value) {
    if (auto* check = qobject_cast<QCheckBox*>(box); check && value == 2) {
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
        return;
    }
    box->setChecked(value != 0);
}

} // namespace kt7
