#include "logfile/LogSplit.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace kt7 {

std::optional<LogSplit> LogSplit::parse(const QString& text) {
    LogSplit split;
    static const QRegularExpression size(QStringLiteral("^([1-9][0-9]{0,6})MB$"));
    if (text == QLatin1String("daily")) {
        split.every = Every::Day;
    } else if (text == QLatin1String("hourly")) {
        split.every = Every::Hour;
    } else if (const QRegularExpressionMatch m = size.match(text); m.hasMatch()) {
        split.every = Every::Size;
        split.maxBytes = m.captured(1).toLongLong() * 1024 * 1024;
    } else {
        return std::nullopt;
    }
    return split;
}

QString LogSplit::fileName(const QString& base, const QDateTime& start, int part) const {
    // Names are the same on every desktop: C-locale digits, ISO order.
    const QLocale c = QLocale::c();
    QString stamp = c.toString(start, QStringLiteral("yyyy-MM-dd"));
    if (every == Every::Hour)
        stamp += c.toString(start, QStringLiteral("_HH00"));
    if (part > 1)
        stamp += QLatin1Char('_') + QString::number(part);
    const QFileInfo info(base);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = base.left(base.size() - suffix.size());
    return stem + QLatin1Char('_') + stamp + suffix;
}

bool LogSplit::due(const QDateTime& opened, const QDateTime& now, qint64 bytes) const {
    switch (every) {
    case Every::Never:
        return false;
    case Every::Day:
        return now.date() != opened.date();
    case Every::Hour:
        return now.date() != opened.date() || now.time().hour() != opened.time().hour();
    case Every::Size:
        return bytes >= maxBytes;
    }
    return false;
}

} // namespace kt7
