#include "logfile/LogSplit.h"
#include "common/TestRegistry.h"

#include <QTest>

// When a long run starts a new file, and what the files are called.
class LogSplitTest : public QObject {
    Q_OBJECT

  private slots:
    void namesAndSwitches_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("due");
        const QDateTime opened(QDate(2026, 12, 9), QTime(23, 59, 58));
        const QDateTime sameHour(QDate(2026, 12, 9), QTime(23, 59, 59));
        const QDateTime nextDay(QDate(2026, 12, 10), QTime(0, 0, 1));
        QTest::newRow("daily, before midnight")
            << "daily" << 1 << "/logs/KT7_LogData_2026-12-09.csv" << sameHour << 0LL << false;
        QTest::newRow("daily, after midnight")
            << "daily" << 1 << "/logs/KT7_LogData_2026-12-09.csv" << nextDay << 0LL << true;
        QTest::newRow("daily, third file of the day")
            << "daily" << 3 << "/logs/KT7_LogData_2026-12-09_3.csv" << sameHour << 0LL << false;
        QTest::newRow("hourly") << "hourly" << 1 << "/logs/KT7_LogData_2026-12-09_2300.csv"
                                << nextDay << 0LL << true;
        QTest::newRow("size, under") << "5MB" << 2 << "/logs/KT7_LogData_2026-12-09_2.csv"
                                     << nextDay << 5LL * 1024 * 1024 - 1 << false;
        QTest::newRow("size, reached") << "5MB" << 1 << "/logs/KT7_LogData_2026-12-09.csv"
                                       << sameHour << 5LL * 1024 * 1024 << true;
    }
    void namesAndSwitches() {
        QFETCH(QString, setting);
        QFETCH(int, part);
        QFETCH(QString, name);
        QFETCH(QDateTime, now);
        QFETCH(qint64, bytes);
        QFETCH(bool, due);
        const std::optional<kt7::LogSplit> split = kt7::LogSplit::parse(setting);
        QVERIFY(split && split->active());
        const QDateTime opened(QDate(2026, 12, 9), QTime(23, 59, 58));
        QCOMPARE(split->fileName(QStringLiteral("/logs/KT7_LogData.csv"), opened, part), name);
        QCOMPARE(split->due(opened, now, bytes), due);
    }

    void refusesWhatIsNoSetting() {
        for (const char* text : {"", "weekly", "0MB", "5 MB", "5mb", "-1MB", "test-every-2s"})
            QVERIFY2(!kt7::LogSplit::parse(QString::fromLatin1(text)), text);
    }
};

KT7_REGISTER_TEST(LogSplitTest)
#include "LogSplitTest.moc"
