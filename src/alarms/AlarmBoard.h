#pragma once

#include "alarms/AlarmEvent.h"

#include <QList>

namespace kt7 {

// The alarms the window lists: at most one entry per device and kind, holding its latest change.
// An ended alarm stays listed until it is acknowledged, so one that came and went while nobody
// looked is still seen; an active one cannot be acknowledged away.
class AlarmBoard {
  public:
    // A raise lists the alarm, or makes its listed entry active again; an end marks the entry.
    void take(const AlarmEvent& event);
    // Removes the entry if its alarm ended; false for an active one or an index out of range.
    bool acknowledge(qsizetype index);
    // Removes every ended entry; false when there was none.
    bool acknowledgeEnded();

    const QList<AlarmEvent>& entries() const { return listed; }
    bool inAlarm(int device) const;

  private:
    QList<AlarmEvent> listed;
};

} // namespace kt7
