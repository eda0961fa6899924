#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace kt7bench {

// Nearest-rank percentile of a sample; p in [0, 100].
inline double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size()));
    return values[std::min(rank, values.size() - 1)];
}

inline double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

inline double maximum(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

inline double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// One line of the result table: measure, value, target, and whether the target held.
// A row without a target prints "-" as its verdict.
inline void row(const QString& measure, const QString& value, const QString& target = {},
                int held = -1) {
    const char* verdict = held < 0 ? "-" : (held ? "yes" : "no");
    std::printf("ROW\t%s\t%s\t%s\t%s\n", qPrintable(measure), qPrintable(value),
                target.isEmpty() ? "-" : qPrintable(target), verdict);
    std::fflush(stdout);
}

inline QString ms(double value) {
    return QString::number(value, 'f', 3) + QStringLiteral(" ms");
}

// A memory figure of this process in kB from /proc/self/status: "VmRSS" (resident now) or
// "VmHWM" (the highest resident size so far).
inline long statusKb(const QByteArray& field = "VmRSS") {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLong();
    return -1;
}

// The resident set size of this process in kB.
inline long residentKb() {
    return statusKb("VmRSS");
}

} // namespace kt7bench
