#include "alarms/AlarmText.h"

#include "text/NumberText.h"

namespace kt7 {

QString alarmEventText(const AlarmEvent& event, const QString& label, const QString& unit) {
    QString text = event.state == AlarmState::Raised ? QStringLiteral("Alarm raised: device %1")
                                                     : QStringLiteral("Alarm ended: device %1");
    text = text.arg(event.device + 1);
    if (!label.isEmpty())
        text += QStringLiteral(" (%1)").arg(label);
    const QString value =
        event.value ? (numberText(*event.value) + (unit.isEmpty() ? QString() : u' ' + unit))
                    : QString();
    if (event.kind == AlarmKind::Silent) {
        text += QStringLiteral(" silent for %1 s").arg(numberText(event.limit));
        if (event.state == AlarmState::Ended && !value.isEmpty())
            text += QStringLiteral(", reading again: ") + value;
        return text;
    }
    text += u' ' + QString(alarmKindName(event.kind));
    if (event.state == AlarmState::Ended)
        text += u',';
    if (!value.isEmpty())
        text += u' ' + value;
    return text + QStringLiteral(", limit ") + numberText(event.limit);
}

} // namespace kt7
