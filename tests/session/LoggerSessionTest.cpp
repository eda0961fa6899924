#include "common/TestRegistry.h"
#include "session/LogMessages.h"
#include "session/SessionBench.h"
#include "setup/SetupFileStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kt7test;
using kt7::LoggerSession;

namespace {

// Line 1 as given, then device lines for devices 1 and 2 (the rest missing).
kt7::SetupFileContent setupOf(const QByteArray& general, const QByteArray& device1,
                              const QByteArray& device2) {
    return kt7::readSetupFile(general + "\r\n" + device1 + "\r\n" + device2 + "\r\n",
                              kt7::CodePage::utf8());
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
}

} // namespace

// The session's rules without a window: new files by period, which files a log may open, the
// set-up file applied as both front ends apply it, and the command line's options.
class LoggerSessionTest : public QObject {
    Q_OBJECT

  private slots:
    void newFilesAcrossMidnight_data() {
        QTest::addColumn<QString>("every");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<int>>("rowsPerFile");
        QTest::newRow("daily") << "daily"
                               << QStringList{"KT7_LogData_2026-12-07.csv",
                                              "KT7_LogData_2026-12-08.csv"}
                               << QList<int>{2, 3};
        QTest::newRow("hourly") << "hourly"
                                << QStringList{"KT7_LogData_2026-12-07_2300.csv",
                                               "KT7_LogData_2026-12-08_0000.csv"}
                                << QList<int>{2, 3};
        // A file that reached its size goes on in the next part of the same day's name.
        QTest::newRow("by size") << "size"
                                 << QStringList{"KT7_LogData_2026-12-07.csv",
                                                "KT7_LogData_2026-12-07_2.csv",
                                                "KT7_LogData_2026-12-08.csv",
                                                "KT7_LogData_2026-12-08_2.csv",
                                                "KT7_LogData_2026-12-08_3.csv"}
                                 << QList<int>{1, 1, 1, 1, 1};
    }
    void newFilesAcrossMidnight() {
        QFETCH(QString, every);
        QFETCH(QStringList, files);
        QFETCH(QList<int>, rowsPerFile);
        QTemporaryDir folder;
        SessionBench bench(folder.path() + '/');
        bench.clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 57)));
        kt7::LogSplit split;
        split.every = kt7::LogSplit::Every::Size;
        if (every != "size")
            split = *kt7::LogSplit::parse(every);
        bench.session.setLogSplit(split);
        QVERIFY(bench.session.openLog({}, LoggerSession::LogOpening::Unattended));
        // By size: a file is full once it holds its header and one row.
        split.maxBytes = QFileInfo(bench.session.logFileName()).size() + 1;
        bench.session.setLogSplit(split);
        for (int value = 1; value <= 5; ++value)
            bench.tick(QByteArray::number(value)); // 23:59:58 to 00:00:02
        QCOMPARE(filesIn(folder.path()), files);

        // Each file starts with the header; the sample numbers go on across the files.
        int sample = 0;
        for (int f = 0; f < files.size(); ++f) {
            const QList<QByteArray> lines = logOf(folder.filePath(files[f]));
            QVERIFY2(lines.value(0).startsWith("KT7,Data Logger"), lines.value(0).constData());
            QCOMPARE(lines.size() - 3, rowsPerFile[f]);
            for (int r = 3; r < lines.size(); ++r)
                QCOMPARE(lines[r].split(',').value(0).toInt(), ++sample);
        }
    }

    // A log the user asked for by name may replace that file; the default file and any
    // unattended log never replace data.
    void opensOnlyWhatItMay_data() {
        QTest::addColumn<bool>("byUser");
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("opens");
        QTest::newRow("user, named file") << true << true << true;
        QTest::newRow("user, default file") << true << false << false;
        QTest::newRow("unattended, named file") << false << true << false;
        QTest::newRow("unattended, default file") << false << false << false;
    }
    void opensOnlyWhatItMay() {
        QFETCH(bool, byUser);
        QFETCH(bool, named);
        QFETCH(bool, opens);
        QTemporaryDir folder;
        SessionBench bench(folder.path() + '/');
        const QString path = folder.filePath(named ? "mine.csv" : "KT7_LogData.csv");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("last run\n") > 0);
        old.close();
        const auto how =
            byUser ? LoggerSession::LogOpening::ByUser : LoggerSession::LogOpening::Unattended;
        QCOMPARE(bench.session.openLog(named ? path : QString(), how), opens);
        QCOMPARE(bench.session.logFileName(), opens ? path : QString());
        if (!opens) {
            QCOMPARE(bench.messages.shown, QStringList{kt7::logHoldsDataText(path)});
            QCOMPARE(logOf(path), QList<QByteArray>{"last run"});
        }
    }

    void setupAppliedInOneWay_data() {
        QTest::addColumn<QByteArray>("general");
        QTest::addColumn<bool>("tareFromShown");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("state"); // auto, fast, interval; devices 1 and 2
        QTest::addColumn<QStringList>("told");
        const QByteArray line1 = "1,#TRUE#,#TRUE#,\"0\",\"300\"";
        QTest::newRow("window") << line1 << true << true
                                << "1 0 1 | COM1 linked, tare 7 Oven | COM0 off, tare 0 Press"
                                << QStringList{"Device 2 COM4 is Null"};
        QTest::newRow("headless")
            << line1 << false << true
            << "1 0 1 | COM1 linked, tare at link Oven | COM0 off, tare 0 Press"
            << QStringList{"Device 2 COM4 is Null"};
        // Line 1 stops at its first unusable field, and nothing after it is applied: not "Sec"
        // (Fast stays chosen), not the interval, no device.
        QTest::newRow("line 1 unusable")
            << QByteArray("2,\"x\",#TRUE#,\"9\",\"300\"") << true << false
            << "2 1 5 | COM1 linked, tare 0 Label 1 | COM0 off, "
               "tare 0 Label 2"
            << QStringList{kt7::setupFieldInvalidText("f", 2)};
    }
    void setupAppliedInOneWay() {
        QFETCH(QByteArray, general);
        QFETCH(bool, tareFromShown);
        QFETCH(bool, whole);
        QFETCH(QString, state);
        QFETCH(QStringList, told);
        QTemporaryDir folder;
        SessionBench bench(folder.path() + '/'); // device 1 linked on COM 1
        bench.tick("7");                         // the value a tare takes when shown
        bench.session.setAutoSample(0);
        bench.session.setIntervalText(QStringLiteral("5"));
        bench.session.setTare(1, false, {});
        const auto tare = tareFromShown ? LoggerSession::TareFrom::ShownValue
                                        : LoggerSession::TareFrom::FirstReadingOfLink;
        const auto applied = bench.session.applySetup(
            "f", setupOf(general, "0,\"5\",\"-5\",1,1,\"Oven\"", "0,\"5\",\"-5\",4,0,\"Press\""),
            tare, [](int, int port) { return port <= 3; });
        QCOMPARE(applied.whole, whole);
        const auto& s = bench.session.samplingSettings();
        QStringList shown{
            QStringLiteral("%1 %2 %3").arg(s.autoSample).arg(int(s.fastMode)).arg(s.intervalText)};
        for (int i = 0; i < 2; ++i) {
            const kt7::DeviceSlot& slot = bench.session.slot(i);
            shown << QStringLiteral("COM%1 %2, tare %3 %4")
                         .arg(slot.portNumber)
                         .arg(slot.link == kt7::LinkState::Linked ? "linked" : "off")
                         .arg(slot.tareAtLink ? QStringLiteral("at link")
                                              : QString::number(slot.tare.value()))
                         .arg(slot.label);
        }
        QCOMPARE(shown.join(" | "), state);
        QCOMPARE(bench.messages.shown, told);
    }

    void optionsOverTheSetup() {
        QTemporaryDir folder;
        SessionBench bench(folder.path() + '/');
        bench.session.setAutoSample(0);
        kt7::LoggerOptions options;
        options.autoSample = true;
        options.fastMode = true;
        bench.session.applyOptions(options);
        const auto& s = bench.session.samplingSettings();
        QCOMPARE(s.autoSample, 1);
        QVERIFY(s.fastMode && !s.intervalMode);
        QCOMPARE(s.intervalText, QString()); // every reading and no repeats
        options.everySeconds = 7;
        options.fastMode = false;
        bench.session.applyOptions(options);
        QVERIFY(!s.fastMode && s.intervalMode);
        QCOMPARE(s.intervalText, QStringLiteral("7"));
    }
};

KT7_REGISTER_TEST(LoggerSessionTest)
#include "LoggerSessionTest.moc"
