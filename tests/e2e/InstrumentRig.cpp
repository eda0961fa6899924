#include "InstrumentRig.h"

#include "E2eSupport.h"

namespace e2e {

QStringList rampArguments(int linesPerSecond) {
    return {"--wave",   "ramp", "--min",      "0", "--max",  "1000",
            "--period", "1000", "--decimals", "3", "--rate", QString::number(linesPerSecond)};
}

bool InstrumentRig::startInstrument(const QStringList& simArguments) {
    simulator = std::make_unique<kt7test::SimulatorProcess>(home.path());
    sentLog = home.filePath(QStringLiteral("sent.log"));
    return home.isValid() && kt7test::makeDanglingPorts(home.path()) &&
           simulator->start(QStringList{"--devices", "1", "--first-port", "1", "--sent-log",
                                        sentLog, "--unplug-on-exit"} +
                            simArguments);
}

void InstrumentRig::openWindow() {
    isolated = std::make_unique<kt7test::HomeOverride>(home.path());
    f = std::make_unique<RealPortsWindow>(home.path());
}

bool InstrumentRig::startLogging(const QString& csvPath) {
    if (!f)
        openWindow();
    if (!f->logFast({0}, csvPath))
        return false;
    linkValue = f->labelText(QStringLiteral("LabMSData"), 0).toLatin1();
    return true;
}

int InstrumentRig::samples() const {
    return f->control<QLabel>(QStringLiteral("LabelSamples"))->text().toInt();
}

QString InstrumentRig::rowsOf(const QString& path, QList<QByteArray>& rows) const {
    const CsvText csv = readCsv(path);
    if (csv.lines.size() < 3 || !csv.tail.isEmpty() || csv.bareLineFeed)
        return QStringLiteral("the file is not a whole log");
    rows = csv.lines.mid(3);
    return checkDataRows(rows);
}

} // namespace e2e
