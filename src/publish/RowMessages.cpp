#include "publish/RowMessages.h"

#include <charconv>
#include <cmath>

namespace kt7 {

namespace {

// A JSON string: quotes, backslashes and control characters escaped, the rest as UTF-8.
void appendJsonString(QByteArray& out, const QString& text) {
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

// The shortest text that reads back as the same double, never through the C locale. JSON has no
// infinities nor NaN: those become null.
void appendJsonNumber(QByteArray& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, end - text);
}

} // namespace

std::vector<MqttMessage> rowMessages(const QString& station, qint32 sample, const QDateTime& when,
                                     const std::array<std::optional<double>, 8>& values,
                                     const std::array<QString, 8>& units,
                                     const std::array<QString, 8>& labels) {
    const QByteArray topicStem = "kt7/" + station.toUtf8() + '/';
    const QByteArray head = "{\"sample\":" + QByteArray::number(sample) + ",\"time\":\"" +
                            when.toUTC().toString(Qt::ISODateWithMs).toLatin1() + "\",\"value\":";
    std::vector<MqttMessage> messages;
    for (int device = 0; device < 8; ++device) {
        if (!values[device])
            continue;
        QByteArray payload = head;
        appendJsonNumber(payload, *values[device]);
        payload += ",\"unit\":";
        appendJsonString(payload, units[device]);
        payload += ",\"label\":";
        appendJsonString(payload, labels[device]);
        payload += '}';
        messages.push_back({topicStem + QByteArray::number(device + 1), std::move(payload)});
    }
    return messages;
}

MqttMessage alarmMessage(const QString& station, const AlarmEvent& event, const QString& unit,
                         const QString& label) {
    QByteArray payload = "{\"state\":\"";
    payload += alarmStateName(event).data();
    payload += "\",\"value\":";
    if (event.value)
        appendJsonNumber(payload, *event.value);
    else
        payload += "null";
    payload += ",\"limit\":";
    appendJsonNumber(payload, event.limit);
    payload +=
        ",\"time\":\"" + event.time.toUTC().toString(Qt::ISODateWithMs).toLatin1() + "\",\"unit\":";
    appendJsonString(payload, unit);
    payload += ",\"label\":";
    appendJsonString(payload, label);
    payload += '}';
    return {"kt7/" + station.toUtf8() + '/' + QByteArray::number(event.device + 1) + "/alarm",
            std::move(payload), true};
}

} // namespace kt7
