#include "CommandLine.h"

#include "text/Windows1252.h"

#include <cmath>
#include <set>

namespace {

struct Flag {
    const char* name;
    const char* valueName;
    const char* description;
    const char* defaultValue;
};

constexpr Flag flags[] = {
    {"devices", "N", "Number of devices, on consecutive ports.", "8"},
    {"first-port", "N", "Port number of the first device.", "1"},
    {"ports", "LIST", "Explicit port numbers, e.g. 1,3,5 (instead of --devices/--first-port).", ""},
    {"rate", "LINES", "Lines per second for every device, from 0.2 up.", "10"},
    {"rates", "LIST", "Lines per second per device.", ""},
    {"unit", "TEXT", "Unit for every device, 1 to 8 characters, no blanks; sent as Windows-1252.",
     "us"},
    {"units", "LIST", "Unit per device.", ""},
    {"unit-change", "SECONDS:UNIT",
     "Every device switches to UNIT this many seconds after the start, as when the unit is "
     "changed at the instrument.",
     ""},
    {"flood-after", "SECONDS",
     "Every device stops sending lines this many seconds after the start and floods its port "
     "with text without a line end.",
     ""},
    {"wave", "KIND",
     "Waveform for every device: const, ramp, sine, or the slow lab-like ramp-hold (heat to max, "
     "hold, cool), settle (steps between min and max reached as a first-order system does) and "
     "pulse (from min up to max and back, once a period).",
     "sine"},
    {"waves", "LIST", "Waveform per device.", ""},
    {"value", "NUMBER", "Value of the const waveform.", "32000"},
    {"min", "NUMBER", "Lowest value of the waveforms other than const.", "0"},
    {"max", "NUMBER", "Highest value of the waveforms other than const.", "100"},
    {"ranges", "LIST", "MIN:MAX per device, e.g. 20:80,0:500 (instead of --min and --max).", ""},
    {"period", "SECONDS", "Period of the waveforms other than const.", "10"},
    {"periods", "LIST", "Period per device.", ""},
    {"noise", "NUMBER", "Standard deviation of the noise added to sine and the lab waveforms.",
     "0.5"},
    {"noises", "LIST", "Noise per device.", ""},
    {"decimals", "N", "Fixed number of decimals in the value text, 0 to 9.", "1"},
    {"seed", "N", "Seed of the noise.", "1"},
    {"baud", "RATE", "Nominal line speed; limits each device to RATE/10 bytes per second.", "9600"},
    {"duration", "SECONDS", "Stop after this time; 0 runs until SIGINT or SIGTERM.", "0"},
    {"raw-file", "PATH", "Write this file verbatim to every device before anything else.", ""},
    {"after-raw", "MODE",
     "After the raw file: stream (readings follow), idle (send nothing more) or exit.", "idle"},
    {"sent-log", "PATH",
     "Log each line as '<epoch-ms> <port> <value>', a line the port had no room for with "
     "' dropped' added, and the finished raw file as '<epoch-ms> <port> <bytes> raw'.",
     ""},
};

std::optional<double> toNumber(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<int> toInteger(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<Waveform> toWaveform(const QString& text) {
    if (text == QLatin1String("const"))
        return Waveform::Constant;
    if (text == QLatin1String("ramp"))
        return Waveform::Ramp;
    if (text == QLatin1String("sine"))
        return Waveform::Sine;
    if (text == QLatin1String("ramp-hold"))
        return Waveform::RampHold;
    if (text == QLatin1String("settle"))
        return Waveform::Settle;
    if (text == QLatin1String("pulse"))
        return Waveform::Pulse;
    return std::nullopt;
}

bool isUnit(const QString& text) {
    if (text.isEmpty() || text.size() > 8)
        return false;
    // Printable characters an instrument can send as one byte (Windows-1252), such as the
    // degree sign.
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const bool printable =
            c.unicode() > 32 && c.unicode() != 127 && (c.unicode() < 0x80 || c.unicode() > 0x9F);
        return printable && (c == u'?' || kt7::toWindows1252(QStringView(&c, 1)) != "?");
    });
}

} // namespace

CommandLine::CommandLine() {
    parser_.setApplicationDescription(
        "Simulates KT7 instruments on pseudo-terminals linked as "
        "<config>/kt7-logger/ports/com<n>, where <config> is $XDG_CONFIG_HOME or ~/.config.\n"
        "Prints 'COM<n> -> <terminal>' per device, then 'ready'.");
    parser_.addHelpOption();
    for (const Flag& flag : flags) {
        QString description = QString::fromLatin1(flag.description);
        if (*flag.defaultValue != '\0')
            description += QStringLiteral(" Default: %1.").arg(QLatin1String(flag.defaultValue));
        QCommandLineOption option(QString::fromLatin1(flag.name), description,
                                  QString::fromLatin1(flag.valueName));
        if (*flag.defaultValue != '\0')
            option.setDefaultValue(QString::fromLatin1(flag.defaultValue));
        parser_.addOption(option);
    }
    parser_.addOption(QCommandLineOption(
        QStringLiteral("unplug-on-exit"),
        QStringLiteral("On exit, leave each port link leading to a name that does not exist, as "
                       "the by-id link of an unplugged USB adapter does, instead of removing it; "
                       "a later run on the same port takes the link over.")));
}

std::optional<SimulatorOptions> CommandLine::parse(const QStringList& arguments) {
    if (!parser_.parse(arguments))
        return fail(parser_.errorText());
    if (parser_.isSet(QStringLiteral("help"))) {
        helpRequested_ = true;
        return std::nullopt;
    }
    if (!parser_.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: ") +
                    parser_.positionalArguments().first());
    return options();
}

std::nullopt_t CommandLine::fail(const QString& message) {
    if (error_.isEmpty())
        error_ = message;
    return std::nullopt;
}

std::optional<double> CommandLine::number(const QString& name) {
    const auto value = toNumber(parser_.value(name));
    return value ? value : fail(QStringLiteral("--%1 needs a number").arg(name));
}

std::optional<SimulatorOptions> CommandLine::options() {
    SimulatorOptions options;
    const auto portList = ports();
    const auto deviceList = portList ? devices(*portList) : std::nullopt;
    if (!deviceList)
        return std::nullopt;
    options.devices = *deviceList;

    const auto baud = toInteger(parser_.value(QStringLiteral("baud")));
    const auto duration = number(QStringLiteral("duration"));
    const auto seed = toInteger(parser_.value(QStringLiteral("seed")));
    const QString afterRaw = parser_.value(QStringLiteral("after-raw"));
    if (!baud || *baud < 50 || *baud > 4000000)
        return fail(QStringLiteral("--baud must be 50 to 4000000"));
    if (!duration || *duration < 0.0)
        return fail(QStringLiteral("--duration must be 0 or more seconds"));
    if (!seed || *seed < 0)
        return fail(QStringLiteral("--seed must be a whole number of 0 or more"));
    if (afterRaw == QLatin1String("stream"))
        options.afterRaw = AfterRaw::Stream;
    else if (afterRaw == QLatin1String("exit"))
        options.afterRaw = AfterRaw::Exit;
    else if (afterRaw != QLatin1String("idle"))
        return fail(QStringLiteral("--after-raw must be stream, idle or exit"));
    options.baud = *baud;
    options.durationSeconds = *duration;
    options.seed = static_cast<unsigned>(*seed);
    options.rawFile = parser_.value(QStringLiteral("raw-file")).toStdString();
    options.sentLog = parser_.value(QStringLiteral("sent-log")).toStdString();
    options.unplugOnExit = parser_.isSet(QStringLiteral("unplug-on-exit"));
    return options;
}

std::optional<std::vector<int>> CommandLine::ports() {
    std::vector<int> result;
    if (parser_.isSet(QStringLiteral("ports"))) {
        if (parser_.isSet(QStringLiteral("devices")) || parser_.isSet(QStringLiteral("first-port")))
            return fail(QStringLiteral("--ports replaces --devices and --first-port"));
        for (const QString& text : parser_.value(QStringLiteral("ports")).split(u',')) {
            const auto port = toInteger(text);
            if (!port)
                return fail(QStringLiteral("bad port number: ") + text);
            result.push_back(*port);
        }
    } else {
        const auto count = toInteger(parser_.value(QStringLiteral("devices")));
        const auto first = toInteger(parser_.value(QStringLiteral("first-port")));
        if (!count || !first || *count < 1)
            return fail(QStringLiteral("--devices and --first-port need whole numbers"));
        for (int i = 0; i < *count; ++i)
            result.push_back(*first + i);
    }
    if (result.size() > 16)
        return fail(QStringLiteral("at most 16 devices"));
    const std::set<int> distinct(result.begin(), result.end());
    if (distinct.size() != result.size() || *distinct.begin() < 1 || *distinct.rbegin() > 99)
        return fail(QStringLiteral("port numbers must be distinct, 1 to 99"));
    return result;
}

std::optional<QStringList> CommandLine::perDevice(const QString& single, const QString& list,
                                                  std::size_t count) {
    if (!parser_.isSet(list))
        return QStringList(static_cast<qsizetype>(count), parser_.value(single));
    const QStringList values = parser_.value(list).split(u',');
    if (static_cast<std::size_t>(values.size()) != count)
        return fail(QStringLiteral("--%1 needs one entry per device").arg(list));
    return values;
}

std::optional<DeviceSettings> CommandLine::commonSettings() {
    const auto value = number(QStringLiteral("value"));
    const auto minimum = number(QStringLiteral("min"));
    const auto maximum = number(QStringLiteral("max"));
    const auto period = number(QStringLiteral("period"));
    const auto noise = number(QStringLiteral("noise"));
    const auto decimals = toInteger(parser_.value(QStringLiteral("decimals")));
    if (!value || !minimum || !maximum || !period || !noise)
        return std::nullopt;
    if (*period <= 0.0 || *noise < 0.0)
        return fail(QStringLiteral("--period must be above 0 and --noise not below 0"));
    if (!decimals || *decimals < 0 || *decimals > 9)
        return fail(QStringLiteral("--decimals must be 0 to 9"));
    DeviceSettings settings;
    settings.constantValue = *value;
    settings.minimum = *minimum;
    settings.maximum = *maximum;
    settings.periodSeconds = *period;
    settings.noise = *noise;
    settings.decimals = *decimals;
    if (parser_.isSet(QStringLiteral("unit-change"))) {
        const QString change = parser_.value(QStringLiteral("unit-change"));
        const auto seconds = toNumber(change.section(u':', 0, 0));
        const QString unit = change.section(u':', 1);
        if (!seconds || *seconds < 0.0 || !isUnit(unit))
            return fail(QStringLiteral("--unit-change needs SECONDS:UNIT, e.g. 5:V"));
        settings.unitChangeSeconds = *seconds;
        settings.laterUnit = kt7::toWindows1252(unit).toStdString();
    }
    if (parser_.isSet(QStringLiteral("flood-after"))) {
        const auto seconds = toNumber(parser_.value(QStringLiteral("flood-after")));
        if (!seconds || *seconds < 0.0)
            return fail(QStringLiteral("--flood-after needs 0 or more seconds"));
        settings.floodSeconds = *seconds;
    }
    return settings;
}

// --ranges gives MIN:MAX per device; without it every device has --min and --max.
std::optional<std::vector<std::pair<double, double>>>
CommandLine::perDeviceRanges(const DeviceSettings& common, std::size_t count) {
    std::vector<std::pair<double, double>> ranges(count, {common.minimum, common.maximum});
    if (!parser_.isSet(QStringLiteral("ranges")))
        return ranges;
    const QStringList texts = parser_.value(QStringLiteral("ranges")).split(u',');
    if (static_cast<std::size_t>(texts.size()) != count)
        return fail(QStringLiteral("--ranges needs one entry per device"));
    for (std::size_t i = 0; i < count; ++i) {
        const QString& text = texts[static_cast<qsizetype>(i)];
        const auto low = toNumber(text.section(u':', 0, 0));
        const auto high = toNumber(text.section(u':', 1));
        if (!low || !high || text.count(u':') != 1)
            return fail(QStringLiteral("--ranges needs MIN:MAX per device, e.g. 0:100"));
        ranges[i] = {*low, *high};
    }
    return ranges;
}

std::optional<std::vector<DeviceSettings>> CommandLine::devices(const std::vector<int>& ports) {
    const auto common = commonSettings();
    if (!common)
        return std::nullopt;
    const auto rates = perDevice(QStringLiteral("rate"), QStringLiteral("rates"), ports.size());
    const auto units = perDevice(QStringLiteral("unit"), QStringLiteral("units"), ports.size());
    const auto waves = perDevice(QStringLiteral("wave"), QStringLiteral("waves"), ports.size());
    const auto periods =
        perDevice(QStringLiteral("period"), QStringLiteral("periods"), ports.size());
    const auto noises = perDevice(QStringLiteral("noise"), QStringLiteral("noises"), ports.size());
    const auto ranges = perDeviceRanges(*common, ports.size());
    if (!rates || !units || !waves || !periods || !noises || !ranges)
        return std::nullopt;
    std::vector<DeviceSettings> result;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const auto index = static_cast<qsizetype>(i);
        const auto rate = toNumber(rates->at(index));
        const auto wave = toWaveform(waves->at(index));
        if (!rate || *rate < 0.2 || *rate > 10000.0)
            return fail(QStringLiteral("rate must be 0.2 to 10000 lines per second"));
        if (!isUnit(units->at(index)))
            return fail(QStringLiteral("unit must be 1 to 8 characters without blanks: ") +
                        units->at(index));
        if (!wave)
            return fail(
                QStringLiteral("waveform must be const, ramp, sine, ramp-hold, settle or pulse"));
        const auto period = toNumber(periods->at(index));
        const auto noise = toNumber(noises->at(index));
        if (!period || *period <= 0.0 || !noise || *noise < 0.0)
            return fail(QStringLiteral("a period must be above 0 and a noise not below 0"));
        DeviceSettings settings = *common;
        settings.periodSeconds = *period;
        settings.noise = *noise;
        settings.minimum = (*ranges)[i].first;
        settings.maximum = (*ranges)[i].second;
        settings.port = ports[i];
        settings.linesPerSecond = *rate;
        // Instruments send 8-bit text: a degree sign goes out as the single byte 0xB0.
        settings.unit = kt7::toWindows1252(units->at(index)).toStdString();
        settings.wave = *wave;
        settings.phase = static_cast<double>(i) / static_cast<double>(ports.size());
        result.push_back(settings);
    }
    return result;
}
