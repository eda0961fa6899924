#include "logfile/CsvFormat.h"

#include "text/NumberText.h"

namespace kt7 {

namespace {

const char* const lineEnd = "\r\n";

} // namespace

QByteArray csvHeader(const std::array<QString, 8>& labels, const std::array<QString, 8>& units,
                     const CodePage& codePage) {
    QByteArray out = QByteArrayLiteral("KT7,Data Logger,RS232,Vx1");
    out += lineEnd;
    for (const auto* texts : {&labels, &units}) {
        out += ',';
        for (const QString& text : *texts)
            out += ',' + codePage.encode(text);
        out += lineEnd;
    }
    return out;
}

QByteArray csvDataRow(qint32 sampleNumber, const QDateTime& when, const QLocale& locale,
                      const CodePage& codePage,
                      const std::array<std::optional<double>, 8>& values) {
    QByteArray out = QByteArray::number(sampleNumber);
    out += ',';
    out += codePage.encode(dateTimeField(when, locale));
    for (const std::optional<double>& value : values) {
        out += ',';
        if (value)
            out += numberText(*value).toLatin1();
    }
    out += lineEnd;
    return out;
}

} // namespace kt7
