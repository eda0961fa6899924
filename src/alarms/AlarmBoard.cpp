#include "alarms/AlarmBoard.h"

namespace kt7 {

void AlarmBoard::take(const AlarmEvent& event) {
    for (AlarmEvent& entry : listed)
        if (entry.device == event.device && entry.kind == event.kind) {
            entry = event;
            return;
        }
    listed.append(event);
}

bool AlarmBoard::acknowledge(qsizetype index) {
    if (index < 0 || index >= listed.size() || listed[index].state != AlarmState::Ended)
        return false;
    listed.removeAt(index);
    return true;
}

bool AlarmBoard::acknowledgeEnded() {
    return listed.removeIf(
               [](const AlarmEvent& entry) { return entry.state == AlarmState::Ended; }) > 0;
}

bool AlarmBoard::inAlarm(int device) const {
    for (const AlarmEvent& entry : listed)
        if (entry.device == device && entry.state == AlarmState::Raised)
            return true;
    return false;
}

} // namespace kt7
