#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace kt7 {

enum class AlarmKind { High, Low, Silent };
enum class AlarmState { Raised, Ended };

constexpr int AlarmKindCount = 3;

inline QLatin1String alarmKindName(AlarmKind kind) {
    switch (kind) {
    case AlarmKind::High:
        return QLatin1String("high");
    case AlarmKind::Low:
        return QLatin1String("low");
    case AlarmKind::Silent:
        break;
    }
    return QLatin1String("silent");
}

// ISO 8601 with the offset from UTC, so a time stays unambiguous across a clock change; empty for
// no time.
inline QString offsetTimeText(const QDateTime& time) {
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)
                          : QString();
}

// One alarm raised or ended.
struct AlarmEvent {
    int device = 0; // 0 is device 1
    AlarmKind kind = AlarmKind::High;
    AlarmState state = AlarmState::Raised;
    std::optional<double> value;   // the reading that caused it; silent: the last one, if any
    double limit = 0;              // high or low limit; silent: its seconds
    QDateTime time;                // the time of the tick that polled the reading
    std::optional<double> extreme; // farthest beyond the limit so far; none for silent

    bool operator==(const AlarmEvent&) const = default;
};

// The state an event leaves its device in, as the broker and the user's command name it: high,
// low, silent, or ok once it ended.
inline QLatin1String alarmStateName(const AlarmEvent& event) {
    return event.state == AlarmState::Ended ? QLatin1String("ok") : alarmKindName(event.kind);
}

} // namespace kt7
