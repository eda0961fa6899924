#include "ports/SetupFile.h"

#include "logfile/EightBitText.h"

#include <QByteArrayList>

#include <initializer_list>

namespace kt7 {

namespace {

QByteArray integerField(int value) {
    return QByteArray::number(value);
}

QByteArray booleanField(bool value) {
    return value ? "#TRUE#" : "#FALSE#";
}

QByteArray textField(QString text) {
    text.replace(u'"', QStringLiteral("\"\""));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return '"' + toEightBitText(text) + '"';
}

QByteArray line(std::initializer_list<QByteArray> fields) {
    return QByteArrayList(fields).join(',') + "\r\n";
}

} // namespace

QByteArray writeSetupFile(const SetupData& data) {
    const SetupGeneral& general = data.general;
    QByteArray out = line({integerField(general.autoSample), booleanField(general.fast),
                           booleanField(general.sec), textField(general.interval),
                           textField(general.chartPoints)});
    for (const SetupDevice& device : data.devices)
        out +=
            line({integerField(device.yAuto), textField(device.yMax), textField(device.yMin),
                  integerField(device.port), integerField(device.tare), textField(device.label)});
    return out;
}

} // namespace kt7
