#pragma once

#include <QAbstractButton>

namespace kt7 {

// A check box's value as the set-up file stores it: 0 unchecked, 1 checked, 2 partly checked
// (a check box only); a toggle button is 0 or 1.
int checkValue(const QAbstractButton* box);
void setCheckValue(QAbstractButton* box, int value);

} // namespace kt7
