#include "alarms/AlarmsFile.h"

#include "text/NumberText.h"

namespace kt7 {

namespace {

void addKey(QByteArray& text, const char* key, double value) {
    text += key;
    text += " = ";
    text += numberText(value).toLatin1();
    text += '\n';
}

} // namespace

QByteArray writeAlarmsText(const AlarmSettings& settings) {
    QByteArray text = "# KT7 alarm limits, in each device's unit after tare; times in seconds\n";
    for (int d = 0; d < DeviceCount; ++d) {
        const DeviceLimits& limits = settings.devices[d];
        if (limits.isEmpty())
            continue;
        text += "\n[device " + QByteArray::number(d + 1) + "]\n";
        if (limits.high)
            addKey(text, "high", *limits.high);
        if (limits.low)
            addKey(text, "low", *limits.low);
        if (limits.deadband != 0)
            addKey(text, "deadband", limits.deadband);
        if (limits.delay != 0)
            addKey(text, "delay", limits.delay);
        if (limits.silent)
            addKey(text, "silent", *limits.silent);
    }
    if (!settings.command.isEmpty() || settings.beep) {
        text += "\n[notify]\n";
        if (!settings.command.isEmpty())
            text += "command = " + settings.command.toUtf8() + '\n';
        text += settings.beep ? "beep = yes\n" : "beep = no\n";
    }
    return text;
}

} // namespace kt7
