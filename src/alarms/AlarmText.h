#pragma once

#include "alarms/AlarmEvent.h"

#include <QString>

namespace kt7 {

// "Alarm raised: device 2 (Oven) high 185.5 °C, limit 185" and "Alarm ended: device 2 (Oven)
// high, 184.2 °C, limit 185"; silence in seconds: "Alarm raised: device 3 silent for 10 s".
QString alarmEventText(const AlarmEvent& event, const QString& label, const QString& unit);

} // namespace kt7
