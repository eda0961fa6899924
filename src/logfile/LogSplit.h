#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace kt7 {

// When a long run starts a new log file: each day, each hour, or when a file reaches a size.
// Every file is named after the base with the date (and hour) of its start; a further file of
// the same period gets _2, _3, ... so no file is ever written twice.
struct LogSplit {
    enum class Every { Never, Day, Hour, Size };
    Every every = Every::Never;
    qint64 maxBytes = 0;

    // "daily", "hourly" or "<N>MB"; nullopt when not one of them.
    static std::optional<LogSplit> parse(const QString& text);
    bool active() const { return every != Every::Never; }
    // base "dir/KT7_LogData.csv", part 1 -> "dir/KT7_LogData_2026-12-09.csv"; part 2 ->
    // "..._2.csv".
    QString fileName(const QString& base, const QDateTime& start, int part) const;
    // A file opened at `opened`, holding `bytes`, is closed before the tick at `now`.
    bool due(const QDateTime& opened, const QDateTime& now, qint64 bytes) const;
};

} // namespace kt7
