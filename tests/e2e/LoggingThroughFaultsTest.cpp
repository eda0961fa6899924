#include "E2eSupport.h"
#include "InstrumentRig.h"
#include "common/TestRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A loop-mounted ext4 image on a small tmpfs: once the tmpfs is full, the disk under the file
// system fails on write-back, as a thin-provisioned or failing disk does. Needs root.
class FailingDisk {
  public:
    explicit FailingDisk(const QString& base)
        : backing(base + QStringLiteral("/backing")), mounted(base + QStringLiteral("/disk")) {
        QDir().mkpath(backing);
        QDir().mkpath(mounted);
        const QString image = backing + QStringLiteral("/disk.img");
        ready =
            ::geteuid() == 0 && run("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", backing}) &&
            (backingMounted = true) && run("truncate", {"-s", "64M", image}) &&
            run("mkfs.ext4",
                {"-q", "-F", "-O", "^has_journal", "-E", "lazy_itable_init=1,nodiscard", image}) &&
            run("mount", {"-o", "loop", image, mounted}) && (diskMounted = true);
    }
    ~FailingDisk() {
        if (diskMounted)
            run("umount", {mounted});
        if (backingMounted)
            run("umount", {backing});
    }
    // Fills the tmpfs under the image, so the next write-back of the file system fails.
    void exhaust() const {
        QFile fill(backing + QStringLiteral("/fill"));
        if (!fill.open(QIODevice::WriteOnly))
            return;
        const QByteArray zeros(64 * 1024, '\0');
        while (fill.write(zeros) == zeros.size()) {
        }
    }

    QString backing;
    QString mounted;
    bool ready = false;

  private:
    bool backingMounted = false;
    bool diskMounted = false;
};

// The log's rows are whole and are the instrument's lines after the linked one; those lines go
// to after. Empty text when all is well, else what is wrong.
QString rowsFollowSent(const e2e::InstrumentRig& log, const QString& csv, QList<QByteArray>& rows,
                       QList<kt7test::SentLine>& after) {
    const QString fault = log.rowsOf(csv, rows);
    return fault.isEmpty() ? e2e::checkRowsFollowSent(rows, log.sentLog, log.linkValue, &after)
                           : fault;
}

} // namespace

// Faults while logging Fast on a simulated instrument: each stops logging with one message that
// names the last sample the file holds, Total Samples agrees, and every reading received before
// the fault is in the file.
class LoggingThroughFaultsTest : public QObject {
    Q_OBJECT

  private slots:
    // Deleted under its name while open: a hard link the test made first keeps the file itself,
    // which must hold every row the message counts.
    void logFileDeletedMidRun() {
        e2e::InstrumentRig log;
        const QString csv = log.home.filePath(QStringLiteral("fast.csv"));
        QVERIFY2(log.start(e2e::rampArguments(), csv), "the instrument did not link or log");
        QTRY_VERIFY_WITH_TIMEOUT(log.samples() >= 20, 30000);
        const QString kept = log.home.filePath(QStringLiteral("kept.csv"));
        QCOMPARE(::link(QFile::encodeName(csv).constData(), QFile::encodeName(kept).constData()),
                 0);
        QVERIFY(QFile::remove(csv));
        QTRY_VERIFY_WITH_TIMEOUT(!log.logging(), 20000);

        QCOMPARE(log.f->messages.shown.size(), 1);
        const QString message = log.f->messages.shown.first();
        QList<QByteArray> rows;
        const QString fault = log.rowsOf(kept, rows);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY2(message.contains(csv) && message.contains(QStringLiteral("no longer")) &&
                     message.endsWith(QStringLiteral("number %1.").arg(rows.size())),
                 qPrintable(message));
        QCOMPARE(log.samples(), rows.size());
        const QString sent = e2e::checkRowsFollowSent(rows, log.sentLog, log.linkValue);
        QVERIFY2(sent.isEmpty(), qPrintable(sent));
    }

    void diskFailsUnderTheLog() {
        QTemporaryDir base;
        FailingDisk disk(base.path());
        if (!disk.ready)
            QSKIP("needs root to loop-mount a file system");
        e2e::InstrumentRig log;
        const QString csv = disk.mounted + QStringLiteral("/fast.csv");
        QVERIFY2(log.start(e2e::rampArguments(), csv), "the instrument did not link or log");
        QTRY_VERIFY_WITH_TIMEOUT(log.samples() >= 20, 30000);
        disk.exhaust();
        QTRY_VERIFY_WITH_TIMEOUT(!log.logging(), 30000);

        QCOMPARE(log.f->messages.shown.size(), 1);
        const QString message = log.f->messages.shown.first();
        QVERIFY2(message.contains(QStringLiteral("could not be written to the disk")),
                 qPrintable(message));
        // Total Samples and the message name the last row known to be on the disk; the file
        // holds at least those rows, whole and in order.
        QVERIFY2(message.endsWith(QStringLiteral("number %1.").arg(log.samples())),
                 qPrintable(message));
        QList<QByteArray> rows;
        const QString fault = log.rowsOf(csv, rows);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY2(
            rows.size() >= log.samples() && log.samples() >= 1,
            qPrintable(QStringLiteral("%1 rows, %2 samples").arg(rows.size()).arg(log.samples())));
        const QString sent = e2e::checkRowsFollowSent(rows, log.sentLog, log.linkValue);
        QVERIFY2(sent.isEmpty(), qPrintable(sent));
    }

    // Pulled while readings wait in the program: the ticks are held back while the port reads
    // lines, then the instrument vanishes. Every line sent before the program last looked at the
    // port must still reach the log.
    void adapterPulledWhileReadingsWait() {
        e2e::InstrumentRig log;
        const QString csv = log.home.filePath(QStringLiteral("fast.csv"));
        QVERIFY2(log.start(e2e::rampArguments(), csv), "the instrument did not link or log");
        QTRY_VERIFY_WITH_TIMEOUT(log.samples() >= 5, 30000);
        log.f->window->sampleTimer()->stop();
        kt7::SerialPort& port = log.f->window->devicePort(0);
        QTRY_VERIFY_WITH_TIMEOUT(port.bytesWaiting() >= 5 * 15, 10000);
        const qint64 lastLook = QDateTime::currentMSecsSinceEpoch();
        log.simulator->killNow();
        QAbstractButton* link = log.f->button(QStringLiteral("Ch_Link"), 0);
        // The next look at the port, as a tick's would, finds the line gone.
        QTRY_COMPARE_WITH_TIMEOUT((port.bytesWaiting(), link->text()),
                                  QStringLiteral("Link Waiting"), 15000);
        log.f->window->TimerRecAI_Timer();
        log.f->window->ComFile_Click(1);
        QCOMPARE(log.f->messages.shown.size(), 1);

        QList<QByteArray> rows;
        const QString fault = log.rowsOf(csv, rows);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(log.samples(), rows.size());
        QList<kt7test::SentLine> after;
        const QString sent = e2e::checkRowsFollowSent(rows, log.sentLog, log.linkValue, &after);
        QVERIFY2(sent.isEmpty(), qPrintable(sent));
        qsizetype received = 0;
        while (received < after.size() && after[received].epochMs < lastLook - 50)
            ++received;
        QVERIFY2(rows.size() >= received,
                 qPrintable(QStringLiteral("%1 rows, %2 lines had reached the program")
                                .arg(rows.size())
                                .arg(received)));
    }

    // The instrument sends mV, then switches to V: told once, naming both units; the mV readings
    // before the switch are all in the log, and nothing is logged after it.
    void unitChangesAtTheInstrument() {
        e2e::InstrumentRig log;
        const QString csv = log.home.filePath(QStringLiteral("fast.csv"));
        QVERIFY2(
            log.start(e2e::rampArguments() + QStringList{"--unit", "mV", "--unit-change", "6:V"},
                      csv),
            "the instrument did not link or log");
        QCOMPARE(log.f->labelText(QStringLiteral("LabMSUnit"), 0), QStringLiteral("mV"));
        QTRY_VERIFY_WITH_TIMEOUT(log.f->messages.shown.size() == 1, 30000);
        const QString message = log.f->messages.shown.first();
        QVERIFY2(message.contains(QStringLiteral("Device 1 (COM 1)")) &&
                     message.contains(QStringLiteral("\"mV\"")) &&
                     message.contains(QStringLiteral("\"V\"")),
                 qPrintable(message));
        QVERIFY(log.logging());
        const int rowsAtNotice = log.samples();
        // Three more ticks while the stream goes on in V: neither rows nor messages follow.
        QSignalSpy ticks(log.f->window->sampleTimer(), &QTimer::timeout);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 3, 10000);
        QCOMPARE(log.f->messages.shown.size(), 1);
        QCOMPARE(log.samples(), rowsAtNotice);
        log.f->window->ComFile_Click(1);

        QList<QByteArray> rows;
        QList<kt7test::SentLine> after;
        const QString fault = rowsFollowSent(log, csv, rows, after);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // Every line sent in mV is a row: about six seconds of them at ten a second.
        QVERIFY2(rows.size() >= 40, qPrintable(QString::number(rows.size())));
        QVERIFY(after.size() > rows.size());
    }

    // After a few seconds of lines the instrument floods its port with text that never ends a
    // line: told once as text without a complete line, never as a lost link; the device stays
    // linked on its open port, and every line sent before the flood is in the log.
    void floodWithoutLineEnds() {
        e2e::InstrumentRig log;
        const QString csv = log.home.filePath(QStringLiteral("fast.csv"));
        QVERIFY2(log.start(e2e::rampArguments() + QStringList{"--unit", "kg", "--flood-after", "4"},
                           csv),
                 "the instrument did not link or log");
        QTRY_VERIFY_WITH_TIMEOUT(log.f->messages.shown.size() == 1, 30000);
        const QString message = log.f->messages.shown.first();
        QVERIFY2(message.contains(QStringLiteral("Device 1 (COM 1) sends text, but no complete "
                                                 "line in the unit \"kg\"")),
                 qPrintable(message));
        QSignalSpy ticks(log.f->window->sampleTimer(), &QTimer::timeout);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 3, 10000);
        QCOMPARE(log.f->messages.shown.size(), 1);
        QVERIFY(log.f->button(QStringLiteral("Ch_Link"), 0)->isChecked());
        QVERIFY(log.f->window->devicePort(0).isOpen());
        QVERIFY(log.logging());
        log.f->window->ComFile_Click(1);

        QList<QByteArray> rows;
        QList<kt7test::SentLine> after;
        const QString fault = rowsFollowSent(log, csv, rows, after);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // About four seconds of lines at ten a second, each of them a row.
        QCOMPARE(rows.size(), after.size());
        QVERIFY2(rows.size() >= 25, qPrintable(QString::number(rows.size())));
    }
};

KT7_REGISTER_TEST(LoggingThroughFaultsTest)
#include "LoggingThroughFaultsTest.moc"
