#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Helpers shared by the end-to-end tests: an isolated home whose port entries lead nowhere but to
// the simulator, the simulator process, and readers for its sent log and the logger's CSV.
namespace e2e {

inline constexpr int PortCount = 10;

QString portsFolder(const QString& home);
// Every port entry com1..com10 as a link to a path that does not exist, so that opening any port
// the simulator does not serve fails with "not found" instead of reaching a real serial port.
bool makeDanglingPorts(const QString& home);
// The system environment with HOME moved to home, XDG_CONFIG_HOME removed and no display.
QProcessEnvironment isolatedEnvironment(const QString& home);

// Sets HOME and clears XDG_CONFIG_HOME for this process; the old values come back on destruction.
class HomeOverride {
  public:
    explicit HomeOverride(const QString& home);
    ~HomeOverride();
    HomeOverride(const HomeOverride&) = delete;
    HomeOverride& operator=(const HomeOverride&) = delete;

  private:
    QByteArray oldHome;
    QByteArray oldXdg;
    bool hadXdg;
};

// kt7-sim with its port links in home; killed on destruction if still running.
class Simulator {
  public:
    explicit Simulator(const QString& home);
    ~Simulator();
    // Starts it and waits for "ready"; false (with the output in output()) when that never came.
    bool start(const QStringList& arguments, int timeoutMs = 15000);
    void killNow(); // SIGKILL: the instrument side vanishes at once, like a pulled cable
    bool stop();    // SIGTERM, and waits for the end
    QString output() const { return QString::fromLocal8Bit(collected); }
    QProcess& process() { return proc; }

  private:
    QString home;
    QProcess proc;
    QByteArray collected;
};

struct SentLine {
    qint64 epochMs = 0;
    QByteArray value;
    bool dropped = false;
};
// The lines the simulator logged for one port, in order.
QList<SentLine> readSentLog(const QString& path, int port);

// A CSV split at CR LF: the whole lines without their ending, and whatever follows the last CR LF.
struct CsvText {
    QList<QByteArray> lines;
    QByteArray tail;
    bool bareLineFeed = false; // an LF without the CR before it
};
CsvText readCsv(const QString& path);
// Data rows (whole lines after the three header lines) in the file now; 0 when it does not exist.
int wholeDataRows(const QString& path);

// A reading as thousandths, so "12.300" from the instrument and "12.3" in the log compare equal.
qint64 thousandths(const QByteArray& number, bool* ok = nullptr);

// Checks the data rows: ten fields each, sample numbers 1, 2, 3, ... without a gap, a date and
// time, a number for device 1 and nothing for the other devices. Empty text when all is well,
// else what is wrong.
QString checkDataRows(const QList<QByteArray>& rows);

// Checks that the rows hold device 1's values in the order the simulator sent them, starting with
// the line after the one the link showed (linkValue). The sent lines after the linked one go to
// after, when given. Empty text when all is well, else what is wrong.
QString checkRowsFollowSent(const QList<QByteArray>& rows, const QString& sentLog,
                            const QByteArray& linkValue, QList<SentLine>* after = nullptr);

} // namespace e2e
