#include "session/WindowLogSettings.h"

#include <QFile>

namespace kt7 {

WindowLogSettings readWindowLogSettings(const QString& configFolder) {
    WindowLogSettings settings;
    const QString path = configFolder + QStringLiteral("/kt7-logger/logger.conf");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return settings;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        const std::optional<LogSplit> split = LogSplit::parse(value);
        if (key == QLatin1String("new-file") && split)
            settings.newFile = *split;
        else
            settings.problem = QStringLiteral("%1: the line \"%2\" was not used; new-file= takes "
                                              "daily, hourly or a size such as 100MB.")
                                   .arg(path, line);
    }
    return settings;
}

} // namespace kt7
