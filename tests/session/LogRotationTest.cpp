#include "common/TestRegistry.h"
#include "session/SessionBench.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kt7test;

// An outside rotation (logrotate and SIGHUP, or copytruncate) never stops the log: it goes on in
// the next file with a full header, and the sample numbers go on.
class LogRotationTest : public QObject {
    Q_OBJECT

  private slots:
    void goesOnInTheNextFile_data() {
        QTest::addColumn<bool>("daily");
        QTest::addColumn<QString>("change"); // "move" or "keep" before SIGHUP; "cut <bytes>"
        QTest::addColumn<QString>("next");
#ifndef Q_OS_WIN // Windows moves no file that is open for writing
        QTest::newRow("daily, moved away") << true << "move"
                                           << "KT7_LogData_2026-12-07.csv";
#endif
        QTest::newRow("daily, kept") << true << "keep"
                                     << "KT7_LogData_2026-12-07_2.csv";
#ifndef Q_OS_WIN
        QTest::newRow("moved away") << false << "move"
                                    << "KT7_LogData.csv";
#endif
        QTest::newRow("copytruncate") << false << "cut 0"
                                      << "KT7_LogData.csv";
        QTest::newRow("daily, copytruncate") << true << "cut 0"
                                             << "KT7_LogData_2026-12-07.csv";
        QTest::newRow("cut partway") << false << "cut 20"
                                     << "KT7_LogData_2026-12-07.csv";
    }
    void goesOnInTheNextFile() {
        QFETCH(bool, daily);
        QFETCH(QString, change);
        QFETCH(QString, next);
        QTemporaryDir folder;
        SessionBench bench(folder.path() + '/');
        if (daily)
            bench.session.setLogSplit(*kt7::LogSplit::parse(QStringLiteral("daily")));
        QVERIFY(bench.session.openLog(folder.filePath("KT7_LogData.csv"),
                                      kt7::LoggerSession::LogOpening::Unattended));
        const QString first = bench.session.logFileName();
        bench.tick("1");
        bench.tick("2");
        const QList<QByteArray> header = logOf(first).mid(0, 3);
        QCOMPARE(logOf(first), header + QList<QByteArray>({"1,1", "2,2"}));

        const QSignalSpy started(&bench.session, &kt7::LoggerSession::logFileStarted);
        if (change == "move")
            QVERIFY(QFile::rename(first, folder.filePath("rotated.csv")));
        if (change.startsWith("cut"))
            QVERIFY(QFile::resize(first, change.mid(4).toInt()));
        else
            QVERIFY(bench.session.startNewFile(bench.view));
        bench.tick("3");

        QCOMPARE(bench.view.stopped, QStringList());
        QCOMPARE(bench.messages.shown, QStringList());
        QCOMPARE(started.count(), 1);
        QCOMPARE(started[0][0].toString(), folder.filePath(next));
        QCOMPARE(logOf(folder.filePath(next)), header + QList<QByteArray>{"3,3"});
        if (change == "cut 20") // a file that holds data is never written again
            QCOMPARE(QFileInfo(first).size(), qint64(20));
    }
};

KT7_REGISTER_TEST(LogRotationTest)
#include "LogRotationTest.moc"
