#include "alarms/AlarmsFile.h"

#include "text/StrictDecimal.h"

#include <QFile>
#include <QFileInfo>

namespace kt7 {

namespace {

constexpr int NoSection = -1;
constexpr int NotifySection = DeviceCount;

// The reading of one file, stopped at the first line it cannot take.
class LineReader {
  public:
    explicit LineReader(const QString& fileName) : fileName(fileName) {}

    bool read(int number, const QByteArray& rawLine);
    AlarmsFileRead result;

  private:
    bool refuse(const QByteArray& why);
    bool readSection(const QByteArray& name);
    bool readDeviceKey(const QByteArray& key, const QByteArray& value);
    bool readNotifyKey(const QByteArray& key, const QByteArray& value);

    const QString& fileName;
    int lineNumber = 0;
    QByteArray line;
    int section = NoSection;
};

bool LineReader::refuse(const QByteArray& why) {
    result.settings = {};
    result.problem = QStringLiteral("%1 line %2: \"%3\" %4")
                         .arg(fileName, QString::number(lineNumber), QString::fromUtf8(line),
                              QString::fromUtf8(why));
    return false;
}

bool LineReader::read(int number, const QByteArray& rawLine) {
    lineNumber = number;
    line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
        return true;
    if (line.startsWith('['))
        return line.endsWith(']') ? readSection(line.mid(1, line.size() - 2).trimmed().toLower())
                                  : refuse("is not a section: it lacks its ]");
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return refuse("is not a key = value line");
    const QByteArray key = line.left(equals).trimmed().toLower();
    const QByteArray value = line.mid(equals + 1).trimmed();
    if (section == NoSection)
        return refuse("comes before any section");
    return section == NotifySection ? readNotifyKey(key, value) : readDeviceKey(key, value);
}

bool LineReader::readSection(const QByteArray& name) {
    if (name == "notify") {
        section = NotifySection;
        return true;
    }
    if (!name.startsWith("device"))
        return refuse("is not a known section");
    bool ok = false;
    const QByteArray digits = name.mid(6).trimmed();
    const int device = digits.toInt(&ok);
    if (!ok || digits.startsWith('+') || device < 1 || device > DeviceCount)
        return refuse("names no device from 1 to 8");
    section = device - 1;
    return true;
}

bool LineReader::readDeviceKey(const QByteArray& key, const QByteArray& value) {
    DeviceLimits& limits = result.settings.devices[section];
    std::optional<double>* target = nullptr;
    if (key == "high")
        target = &limits.high;
    else if (key == "low")
        target = &limits.low;
    else if (key != "deadband" && key != "delay" && key != "silent")
        return refuse("is not a known key");
    const std::optional<double> number = strictToDouble(value);
    if (!number)
        return refuse("does not hold a number (with a point for decimals)");
    if (target) {
        *target = number;
        if (limits.low && limits.high && *limits.low > *limits.high)
            return refuse("puts low above high");
        return true;
    }
    if (*number < 0)
        return refuse("must not be negative");
    if (key == "deadband")
        limits.deadband = *number;
    else if (key == "delay")
        limits.delay = *number;
    else
        limits.silent = number;
    return true;
}

bool LineReader::readNotifyKey(const QByteArray& key, const QByteArray& value) {
    if (key == "command") {
        result.settings.command = QString::fromUtf8(value);
        return true;
    }
    if (key != "beep")
        return refuse("is not a known key");
    const QByteArray answer = value.toLower();
    if (answer != "yes" && answer != "no")
        return refuse("is neither yes nor no");
    result.settings.beep = answer == "yes";
    return true;
}

} // namespace

AlarmsFileRead readAlarmsText(const QByteArray& text, const QString& fileName) {
    LineReader reader(fileName);
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!reader.read(static_cast<int>(i + 1), lines[i]))
            break;
    return reader.result;
}

AlarmsFileRead readAlarmsFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly))
        return {AlarmSettings{}, QStringLiteral("%1: %2").arg(name, file.errorString())};
    return readAlarmsText(file.readAll(), name);
}

} // namespace kt7
