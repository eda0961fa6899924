#include "headless/HeadlessOptions.h"

namespace kt7 {

namespace {
std::optional<int> wholeNumber(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok); // QString::toInt reads C-locale digits only
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}
} // namespace

QString headlessUsage() {
    return QStringLiteral(
        "usage: kt7-logger --headless --setup FILE.kt7 [--log FILE.csv] [--fast | --every N] "
        "[--auto] [--mqtt URL] [--mqtt-station NAME] [--mqtt-readings logged|all] "
        "[--mqtt-drain SECONDS] [--status-every SECONDS]");
}

HeadlessOptionsResult parseHeadlessOptions(const QStringList& arguments) {
    HeadlessOptions options;
    const auto fail = [](const QString& why) { return HeadlessOptionsResult{std::nullopt, why}; };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        const bool takesValue =
            name == QLatin1String("--setup") || name == QLatin1String("--log") ||
            name == QLatin1String("--every") || name == QLatin1String("--mqtt") ||
            name == QLatin1String("--mqtt-station") || name == QLatin1String("--mqtt-readings") ||
            name == QLatin1String("--mqtt-drain") || name == QLatin1String("--status-every");
        if (takesValue && i + 1 >= arguments.size())
            return fail(QStringLiteral("%1 needs a value").arg(name));
        const QString value = takesValue ? arguments[++i] : QString();
        if (name == QLatin1String("--headless")) {
        } else if (name == QLatin1String("--setup")) {
            options.setupPath = value;
        } else if (name == QLatin1String("--log")) {
            options.logPath = value;
        } else if (name == QLatin1String("--fast")) {
            options.fastMode = true;
        } else if (name == QLatin1String("--every")) {
            options.everySeconds = wholeNumber(value, 1, 32767);
            if (!options.everySeconds)
                return fail(QStringLiteral("--every needs whole seconds from 1 to 32767"));
            options.fastMode = false;
        } else if (name == QLatin1String("--auto")) {
            options.autoSample = true;
        } else if (name == QLatin1String("--mqtt")) {
            options.mqttUrl = value;
        } else if (name == QLatin1String("--mqtt-station")) {
            options.mqttStation = value;
        } else if (name == QLatin1String("--mqtt-readings")) {
            options.mqttReadings = value;
        } else if (name == QLatin1String("--mqtt-drain")) {
            const std::optional<int> seconds = wholeNumber(value, 0, 60);
            if (!seconds)
                return fail(QStringLiteral("--mqtt-drain needs whole seconds from 0 to 60"));
            options.mqttDrainSeconds = *seconds;
        } else if (name == QLatin1String("--status-every")) {
            const std::optional<int> seconds = wholeNumber(value, 1, 86400);
            if (!seconds)
                return fail(QStringLiteral("--status-every needs whole seconds from 1 to 86400"));
            options.statusEverySeconds = *seconds;
        } else {
            return fail(QStringLiteral("unknown option \"%1\"").arg(name));
        }
    }
    if (options.setupPath.isEmpty())
        return fail(QStringLiteral("--setup FILE.kt7 is needed"));
    if (arguments.contains(QLatin1String("--fast")) && arguments.contains(QLatin1String("--every")))
        return fail(QStringLiteral("--fast and --every exclude each other"));
    return {options, {}};
}

} // namespace kt7
