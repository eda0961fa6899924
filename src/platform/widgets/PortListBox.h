#pragma once

#include <QList>

class QComboBox;

namespace kt7 {

// A port list's entries ("COM n", its number as item data) for the present numbers, and for the
// chosen one even when its port went away; the choice stays as it was without a change signal.
// A list that was empty gets its first entry chosen, as at start-up, which is a change.
void refillPortList(QComboBox* list, const QList<int>& present);

} // namespace kt7
