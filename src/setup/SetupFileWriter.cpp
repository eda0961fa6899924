#include "setup/SetupFile.h"

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

QByteArray textField(QString text, const CodePage& codePage) {
    text.replace(u'"', QStringLiteral("\"\""));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return '"' + codePage.encode(text) + '"';
}

QByteArray line(std::initializer_list<QByteArray> fields) {
    return QByteArrayList(fields).join(',') + "\r\n";
}

} // namespace

QByteArray writeSetupFile(const SetupData& data, const CodePage& codePage) {
    const SetupGeneral& general = data.general;
    QByteArray out = line({integerField(general.autoSample), booleanField(general.fast),
                           booleanField(general.sec), textField(general.interval, codePage),
                           textField(general.chartPoints, codePage)});
    for (const SetupDevice& device : data.devices)
        out += line({integerField(device.yAuto), textField(device.yMax, codePage),
                     textField(device.yMin, codePage), integerField(device.port),
                     integerField(device.tare), textField(device.label, codePage)});
    return out;
}

} // namespace kt7
