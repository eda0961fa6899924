#include "E2eSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace e2e {

QString portsFolder(const QString& home) {
    return home + QStringLiteral("/.config/kt7-logger/ports");
}

bool makeDanglingPorts(const QString& home) {
    const QString folder = portsFolder(home);
    if (!QDir().mkpath(folder))
        return false;
    for (int n = 1; n <= PortCount; ++n) {
        const QString entry = folder + QStringLiteral("/com%1").arg(n);
        if (!QFile::link(home + QStringLiteral("/no-such-port/com%1").arg(n), entry))
            return false;
    }
    return true;
}

QProcessEnvironment isolatedEnvironment(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

HomeOverride::HomeOverride(const QString& home)
    : oldHome(qgetenv("HOME")), oldXdg(qgetenv("XDG_CONFIG_HOME")),
      hadXdg(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_CONFIG_HOME");
}

HomeOverride::~HomeOverride() {
    qputenv("HOME", oldHome);
    if (hadXdg)
        qputenv("XDG_CONFIG_HOME", oldXdg);
}

Simulator::Simulator(const QString& home) : home(home) {}

Simulator::~Simulator() {
    if (proc.state() != QProcess::NotRunning) {
        proc.kill();
        proc.waitForFinished(10000);
    }
}

bool Simulator::start(const QStringList& arguments, int timeoutMs) {
    proc.setProcessEnvironment(isolatedEnvironment(home));
    proc.setProcessChannelMode(QProcess::MergedChannels);
    proc.start(QStringLiteral(KT7_SIM_PATH), arguments);
    const QDeadlineTimer deadline(timeoutMs);
    while (!collected.contains("ready\n")) {
        if (!proc.waitForReadyRead(int(deadline.remainingTime()))) {
            collected += proc.readAll();
            return collected.contains("ready\n");
        }
        collected += proc.readAll();
    }
    return true;
}

bool Simulator::stop() {
    proc.terminate();
    return proc.waitForFinished(10000) && proc.exitStatus() == QProcess::NormalExit;
}

void Simulator::killNow() {
    proc.kill();
    proc.waitForFinished(10000);
}

QList<SentLine> readSentLog(const QString& path, int port) {
    QList<SentLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QByteArray wanted = QByteArray::number(port);
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 3 || parts[1] != wanted || parts[2].isEmpty())
            continue;
        lines.append({parts[0].toLongLong(), parts[2], parts.size() > 3 && parts[3] == "dropped"});
    }
    return lines;
}

CsvText readCsv(const QString& path) {
    CsvText csv;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return csv;
    const QByteArray all = file.readAll();
    qsizetype start = 0;
    for (qsizetype end = all.indexOf("\r\n"); end >= 0; end = all.indexOf("\r\n", start)) {
        csv.lines.append(all.sliced(start, end - start));
        start = end + 2;
    }
    csv.tail = all.sliced(start);
    for (const QByteArray& line : std::as_const(csv.lines))
        csv.bareLineFeed = csv.bareLineFeed || line.contains('\n') || line.contains('\r');
    return csv;
}

int wholeDataRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return std::max(0, int(file.readAll().count("\r\n")) - 3);
}

qint64 thousandths(const QByteArray& number, bool* ok) {
    return qRound64(number.toDouble(ok) * 1000.0);
}

QString checkDataRows(const QList<QByteArray>& rows) {
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QList<QByteArray> fields = rows[r].split(',');
        const QString where =
            QStringLiteral("data row %1 \"%2\": ").arg(r + 1).arg(QString::fromLatin1(rows[r]));
        if (fields.size() != 10)
            return where + QStringLiteral("%1 fields instead of 10").arg(fields.size());
        if (fields[0] != QByteArray::number(r + 1))
            return where + QStringLiteral("sample number is not %1").arg(r + 1);
        if (fields[1].trimmed().isEmpty())
            return where + QStringLiteral("no date and time");
        bool number = false;
        thousandths(fields[2], &number);
        if (!number)
            return where + QStringLiteral("device 1 holds no number");
        for (int f = 3; f < 10; ++f)
            if (!fields[f].isEmpty())
                return where + QStringLiteral("a device without a link has a value");
    }
    return {};
}

QString checkRowsFollowSent(const QList<QByteArray>& rows, const QString& sentLog,
                            const QByteArray& linkValue, QList<SentLine>* after) {
    const QList<SentLine> sent = readSentLog(sentLog, 1);
    qsizetype linked = -1;
    for (qsizetype i = 0; i < sent.size(); ++i)
        if (!sent[i].dropped && thousandths(sent[i].value) == thousandths(linkValue))
            linked = i;
    if (linked < 0)
        return QStringLiteral("the linked value %1 is not in the sent log")
            .arg(QString::fromLatin1(linkValue));
    const QList<SentLine> following = sent.mid(linked + 1);
    if (after)
        *after = following;
    for (const SentLine& line : following)
        if (line.dropped)
            return QStringLiteral("the simulator dropped %1").arg(QString::fromLatin1(line.value));
    if (following.size() < rows.size())
        return QStringLiteral("the log holds more rows than lines were sent");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QByteArray logged = rows[r].split(',').value(2);
        if (thousandths(logged) != thousandths(following[r].value))
            return QStringLiteral("row %1 holds %2, the instrument sent %3")
                .arg(r + 1)
                .arg(QString::fromLatin1(logged), QString::fromLatin1(following[r].value));
    }
    return {};
}

} // namespace e2e
