#include "statistics/DurationText.h"

#include <QStringList>
#include <cmath>

namespace kt7 {

QString durationText(double seconds) {
    if (!std::isfinite(seconds))
        return QStringLiteral("-");
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    // Counted in tenths, so 59.96 s rounds up to 1 min 0 s rather than to "60.0 s".
    const auto tenths = static_cast<qint64>(std::llround(std::abs(seconds) * 10.0));
    const qint64 whole = tenths / 10;
    const qint64 days = whole / 86400;
    const qint64 hours = whole / 3600 % 24;
    const qint64 minutes = whole / 60 % 60;
    QString secs = QString::number(whole % 60);
    if (tenths % 10 != 0)
        secs += u'.' + QString::number(tenths % 10);
    QStringList parts;
    if (days > 0)
        parts << QString::number(days) + QStringLiteral(" d");
    if (days > 0 || hours > 0)
        parts << QString::number(hours) + QStringLiteral(" h");
    if (whole >= 60)
        parts << QString::number(minutes) + QStringLiteral(" min");
    parts << secs + QStringLiteral(" s");
    return sign + parts.join(u' ');
}

} // namespace kt7
