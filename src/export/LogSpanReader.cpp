#include "export/LogSpanReader.h"

#include <QFile>
#include <utility>

namespace kt7 {

namespace {
constexpr qint64 ChunkBytes = 1024 * 1024;
} // namespace

bool LogSpanReader::read(const LogSpan& span, const RowVisitor& eachRow,
                         const HeaderVisitor& onHeader) {
    QFile file(span.logPath);
    if (!file.open(QIODevice::ReadOnly)) {
        failure =
            QObject::tr("The log %1 could not be read: %2.").arg(span.logPath, file.errorString());
        return false;
    }
    LogReader reader(span.locale);
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    bool headerTold = false;
    const auto tellHeader = [&] {
        labelTexts = reader.labels();
        unitTexts = reader.units();
        if (onHeader && !std::exchange(headerTold, true))
            onHeader(*this);
    };
    for (qint64 n; reader.isLog() && (n = file.read(chunk.data(), ChunkBytes)) > 0;) {
        reader.feed(QByteArrayView(chunk.constData(), n));
        const LogRows rows = reader.takeRows();
        if (rows.size() > 0)
            tellHeader();
        const auto& keys = span.timeKeys ? rows.seconds : rows.sampleNumbers;
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (keys[r] >= span.low && keys[r] <= span.high)
                eachRow(rows, r);
    }
    if (file.error() != QFileDevice::NoError) {
        failure =
            QObject::tr("The log %1 could not be read: %2.").arg(span.logPath, file.errorString());
        return false;
    }
    tellHeader();
    return true;
}

} // namespace kt7
