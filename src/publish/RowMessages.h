#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kt7 {

struct MqttMessage {
    QByteArray topic;
    QByteArray payload;
};

// The readings of one row for the broker: one message per device with a value, topic
// kt7/<station>/<device 1..8>, payload
// {"sample":N,"time":"2026-12-07T16:34:26.000Z","value":12.5,"unit":"mV","label":"Temp"}.
std::vector<MqttMessage> rowMessages(const QString& station, qint32 sample, const QDateTime& when,
                                     const std::array<std::optional<double>, 8>& values,
                                     const std::array<QString, 8>& units,
                                     const std::array<QString, 8>& labels);

} // namespace kt7
