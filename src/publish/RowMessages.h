#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "alarms/AlarmEvent.h"

#include <array>
#include <optional>
#include <vector>

namespace kt7 {

struct MqttMessage {
    QByteArray topic;
    QByteArray payload;
    bool retain = false; // the broker keeps it for whoever subscribes later
};

// The readings of one row for the broker: one message per device with a value, topic
// kt7/<station>/<device 1..8>, payload
// {"sample":N,"time":"2026-12-07T16:34:26.000Z","value":12.5,"unit":"mV","label":"Temp"}.
std::vector<MqttMessage> rowMessages(const QString& station, qint32 sample, const QDateTime& when,
                                     const std::array<std::optional<double>, 8>& values,
                                     const std::array<QString, 8>& units,
                                     const std::array<QString, 8>& labels);

// A device's alarm state for the broker, retained so that a dashboard connecting later sees it:
// topic kt7/<station>/<device 1..8>/alarm, payload {"state":"high","value":185.5,"limit":185,
// "time":"2026-12-07T16:34:26.000Z","unit":"°C","label":"Oven"}; state is high, low, silent or ok,
// value null when there is none (a device silent from its link on).
MqttMessage alarmMessage(const QString& station, const AlarmEvent& event, const QString& unit,
                         const QString& label);

} // namespace kt7
