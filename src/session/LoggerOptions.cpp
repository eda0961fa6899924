#include "session/LoggerOptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace kt7 {

namespace {
struct OptionText {
    const char* name;
    const char* valueName; // nullptr: a switch
    const char* description;
    bool headlessOnly = false; // the window has no use for it and refuses it
};

constexpr bool Headless = true;

constexpr OptionText Options[] = {
    {"setup", "FILE.kt7", "Load this set-up file at start."},
    {"link", nullptr, "With --setup: link every device the set-up gives a port."},
    {"view", "FILE.csv", "Show a saved log in the viewer, without the logger."},
    {"list-ports", nullptr, "Print the COM number map and end."},
    {"headless", nullptr, "Log without a window (needs --setup)."},
    {"log", "FILE.csv", "Headless: the log file (default: KT7_LogData.csv in the log folder).",
     Headless},
    {"fast", nullptr, "Headless: log every reading.", Headless},
    {"every", "N", "Headless: log one row every N seconds (1 to 32767).", Headless},
    {"auto", nullptr, "Headless: sample automatically even when the set-up says not to.", Headless},
    {"alarms", "FILE", "Alarm limits from this file instead of alarms.conf in the config folder."},
    {"mqtt", "URL", "Publish to this broker: mqtt://host[:port]."},
    {"mqtt-station", "NAME", "The station in the topic kt7/<station>/<device>."},
    {"mqtt-readings", "logged|all", "Publish the logged rows (default) or every reading."},
    {"status-every", "SECONDS", "Headless: print the status line this often (default 60).",
     Headless},
    {"new-file", "daily|hourly|<N>MB", "Headless: start a new log file each day, hour or N MB.",
     Headless},
    {"mqtt-drain", "SECONDS",
     "Headless: at the end, wait this long at most for queued messages (5).", Headless},
};

constexpr int HelpColumn = 30;

void addOptions(QCommandLineParser& parser) {
    for (const OptionText& option : Options) {
        QCommandLineOption made(QString::fromLatin1(option.name),
                                QString::fromLatin1(option.description));
        if (option.valueName)
            made.setValueName(QString::fromLatin1(option.valueName));
        parser.addOption(made);
    }
    parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")});
    parser.addOption({QStringLiteral("version"), QStringLiteral("Show the version.")});
}

bool takesValue(const QString& argument) {
    for (const OptionText& option : Options)
        if (option.valueName && argument == QLatin1String("--") + QLatin1String(option.name))
            return true;
    return false;
}

std::optional<int> wholeNumber(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok); // QString::toInt reads C-locale digits only
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

LoggerOptionsResult fail(const QString& why) {
    return {std::nullopt, why};
}
} // namespace

QString loggerVersionText() {
    return QStringLiteral("kt7-logger " KT7_VERSION);
}

QString loggerOptionsHelp() {
    QString text = QStringLiteral("Usage: kt7-logger [options]\n\n");
    for (const OptionText& option : Options) {
        QString name = QStringLiteral("  --") + QLatin1String(option.name);
        if (option.valueName)
            name += QLatin1Char(' ') + QLatin1String(option.valueName);
        // A name that reaches the description's column puts it on a line of its own.
        if (name.size() >= HelpColumn)
            name += QLatin1Char('\n') + QString(HelpColumn, QLatin1Char(' '));
        text +=
            name.leftJustified(HelpColumn) + QLatin1String(option.description) + QLatin1Char('\n');
    }
    text += QStringLiteral("  -h, --help").leftJustified(HelpColumn) +
            QStringLiteral("Show this help.\n");
    text += QStringLiteral("  --version").leftJustified(HelpColumn) +
            QStringLiteral("Show the version.\n");
    return text;
}

namespace {

// The parser's own complaints: an unknown option, a missing value, a stray argument.
QString parseError(QCommandLineParser& parser, const QStringList& arguments) {
    if (!arguments.isEmpty() && takesValue(arguments.last()))
        return QStringLiteral("%1 needs a value").arg(arguments.last());
    addOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("kt7-logger")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return QStringLiteral("unknown option \"%1%2\"")
                .arg(unknown[0].size() > 1 ? QStringLiteral("--") : QStringLiteral("-"),
                     unknown[0]);
        return parser.errorText();
    }
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments()[0]);
    return {};
}

// --fast, --every, --status-every, --new-file and --mqtt-drain, each within its range; the
// complaint, or nothing when all were fine.
QString readTimings(const QCommandLineParser& parser, LoggerOptions& options) {
    const auto value = [&parser](const char* name) { return parser.value(QLatin1String(name)); };
    const auto given = [&parser](const char* name) { return parser.isSet(QLatin1String(name)); };
    if (given("fast"))
        options.fastMode = true;
    if (given("every")) {
        if (options.fastMode)
            return QStringLiteral("--fast and --every exclude each other");
        options.everySeconds = wholeNumber(value("every"), 1, 32767);
        if (!options.everySeconds)
            return QStringLiteral("--every needs whole seconds from 1 to 32767");
        options.fastMode = false;
    }
    if (given("status-every")) {
        const std::optional<int> seconds = wholeNumber(value("status-every"), 1, 86400);
        if (!seconds)
            return QStringLiteral("--status-every needs whole seconds from 1 to 86400");
        options.statusEverySeconds = *seconds;
    }
    if (given("new-file")) {
        const std::optional<LogSplit> split = LogSplit::parse(value("new-file"));
        if (!split)
            return QStringLiteral("--new-file needs daily, hourly or a size such as 100MB");
        options.newFile = *split;
    }
    if (given("mqtt-drain")) {
        const std::optional<int> seconds = wholeNumber(value("mqtt-drain"), 0, 60);
        if (!seconds)
            return QStringLiteral("--mqtt-drain needs whole seconds from 0 to 60");
        options.mqttDrainSeconds = *seconds;
    }
    return {};
}

// What no single option says: an empty broker, a folder given as the log, a missing set-up.
QString checkTogether(const QCommandLineParser& parser, const LoggerOptions& options) {
    if (parser.isSet(QStringLiteral("mqtt")) && options.mqttUrl.trimmed().isEmpty())
        return QStringLiteral("--mqtt needs the broker's address, such as "
                              "mqtt://broker.example:1883; leave --mqtt out to publish nothing");
    if (!options.logPath.isEmpty() && QFileInfo(options.logPath).isDir())
        return QStringLiteral("--log names the folder \"%1\"; give it the name of a log file, "
                              "such as %1/KT7_LogData.csv")
            .arg(options.logPath);
    if (options.headless && options.setupPath.isEmpty() && !options.help && !options.version)
        return QStringLiteral("--setup FILE.kt7 is needed");
    return {};
}

} // namespace

LoggerOptionsResult parseLoggerOptions(const QStringList& arguments, bool headless) {
    QCommandLineParser parser;
    if (const QString error = parseError(parser, arguments); !error.isEmpty())
        return fail(error);
    LoggerOptions options;
    const auto value = [&parser](const char* name) { return parser.value(QLatin1String(name)); };
    const auto given = [&parser](const char* name) { return parser.isSet(QLatin1String(name)); };
    options.help = given("help");
    options.version = given("version");
    options.headless = headless || given("headless");
    // Refused as an unknown option is: the window would silently go without it.
    for (const OptionText& option : Options)
        if (option.headlessOnly && !options.headless && given(option.name))
            return fail(QStringLiteral("option \"--%1\" works only with --headless (logging "
                                       "without a window)")
                            .arg(QLatin1String(option.name)));
    options.link = given("link");
    options.listPorts = given("list-ports");
    options.setupPath = value("setup");
    options.viewPath = value("view");
    options.logPath = value("log");
    options.autoSample = given("auto");
    options.alarmsPath = value("alarms");
    options.mqttUrl = value("mqtt");
    options.mqttStation = value("mqtt-station");
    options.mqttReadings = value("mqtt-readings");
    QString error = readTimings(parser, options);
    if (error.isEmpty())
        error = checkTogether(parser, options);
    if (!error.isEmpty())
        return fail(error);
    return {options, {}};
}

} // namespace kt7
