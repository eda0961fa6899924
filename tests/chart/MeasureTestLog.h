#pragma once

#include "logfile/CsvFormat.h"

#include <QFile>
#include <QLocale>
#include <QTest>
#include <array>
#include <optional>

namespace kt7test {

// A log across midnight for the measuring tests: 81 rows a second apart from 23:59:30, sample r
// reading 0.5 r on device 1 (Temp, °C) and r on device 2 (Flow, l/min) except in every third row;
// devices 3 to 8 never read.
inline const QLocale measureLocale(QLocale::English, QLocale::UnitedStates);
inline const QDateTime measureStart(QDate(2026, 12, 7), QTime(23, 59, 30));
constexpr int MeasureRows = 81;

inline double measureKey(int sample, bool time) {
    return time ? QDateTime(measureStart.date(), measureStart.time(), Qt::UTC)
                      .addSecs(sample - 1)
                      .toSecsSinceEpoch()
                : sample;
}

inline void writeMeasureLog(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const kt7::CodePage codePage = kt7::CodePage::system();
    std::array<QString, 8> labels{"Temp", "Flow"};
    std::array<QString, 8> units{"°C", "l/min"};
    QByteArray out = kt7::csvHeader(labels, units, codePage);
    for (int r = 1; r <= MeasureRows; ++r) {
        std::array<std::optional<double>, 8> values{0.5 * r};
        if (r % 3 != 0)
            values[1] = r;
        out += kt7::csvDataRow(r, measureStart.addSecs(r - 1), measureLocale, codePage, values);
    }
    QCOMPARE(file.write(out), out.size());
}

} // namespace kt7test
