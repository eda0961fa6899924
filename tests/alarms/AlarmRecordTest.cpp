#include "alarms/AlarmRecord.h"
#include "alarms/AlarmRecordReader.h"
#include "common/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace kt7;

class AlarmRecordTest : public QObject {
    Q_OBJECT

  private slots:
    void rowWrittenAtRaiseCompletedAtEnd() {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("KT7_LogData.csv"));
        AlarmRecord record(log);
        const QString path = dir.filePath(QStringLiteral("KT7_LogData_alarms.csv"));
        QCOMPARE(AlarmRecord::pathBeside(R"(C:\KT7 Log\day.1.csv)"),
                 R"(C:\KT7 Log\day.1_alarms.csv)");
        const QDateTime t0(QDate(2026, 12, 7), QTime(17, 34, 26), QTimeZone(3600));
        const QByteArray header = AlarmRecord::header();
        const auto contents = [&path] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
        };

        QCOMPARE(record.add({1, AlarmKind::High, AlarmState::Raised, 185.25, 185, t0, 185.25}, 41),
                 QString());
        QCOMPARE(contents(), header + "2,high,185,2026-12-07T17:34:26+01:00,,185.25,41,\r\n");

        QCOMPARE(
            record.add({1, AlarmKind::High, AlarmState::Ended, 184.5, 185, t0.addSecs(90), 1234.5},
                       130),
            QString());
        QCOMPARE(contents(),
                 header +
                     "2,high,185,2026-12-07T17:34:26+01:00,2026-12-07T17:35:56+01:00,1234.5,41,130"
                     "\r\n");
        const std::vector<RecordedAlarm> back{
            {1, AlarmKind::High, 185, t0, t0.addSecs(90), 1234.5, 41, 130}};
        QVERIFY(readAlarmRecordFile(path).alarms == back);
        // A new record, as for a new log, starts a new file; silence has no extreme.
        QCOMPARE(
            AlarmRecord(log).add({0, AlarmKind::Silent, AlarmState::Raised, {}, 10, t0, {}}, 0),
            QString());
        QCOMPARE(contents(), header + "1,silent,10,2026-12-07T17:34:26+01:00,,,,\r\n");
        QCOMPARE(readAlarmRecordFile(dir.filePath(QStringLiteral("none_alarms.csv"))).problem,
                 QString());
    }

    // What the record writes reads back: ended, still raised (open) and raised before the file.
    void readsEveryKindOfRow() {
        const QByteArray text =
            QByteArray(AlarmRecord::header()) +
            "2,high,185,2026-12-07T17:34:26+01:00,2026-12-07T17:35:56+01:00,1234.5,41,130\r\n"
            "1,silent,10,2026-12-07T17:34:26+01:00,,,,\r\n"
            "8,low,-1.25E1,,2026-12-07T18:00:00-05:00,-20,,7\r\n"
            "3,high,0.5,2026-12-07T16:34:26Z,,0.75,41,\r\n";
        const AlarmRecordRead read = readAlarmRecordText(text, QStringLiteral("x_alarms.csv"));
        QCOMPARE(read.problem, QString());
        const QDateTime t0(QDate(2026, 12, 7), QTime(17, 34, 26), QTimeZone(3600));
        const QDateTime t1(QDate(2026, 12, 7), QTime(18, 0), QTimeZone(-5 * 3600));
        const std::vector<RecordedAlarm> expected{
            {1, AlarmKind::High, 185, t0, t0.addSecs(90), 1234.5, 41, 130},
            {0, AlarmKind::Silent, 10, t0, {}, {}, 0, 0},
            {7, AlarmKind::Low, -12.5, {}, t1, -20, 0, 7},
            {2, AlarmKind::High, 0.5, t0, {}, 0.75, 41, 0}};
        QVERIFY(read.alarms == expected);
        QVERIFY(!read.alarms[1].ended() && read.alarms[2].ended());
        QCOMPARE(read.alarms[0].raisedAt.offsetFromUtc(), 3600); // its wall clock is kept
    }

    void refusesABadLineByItsNumber_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem");
        const QByteArray good = QByteArray(AlarmRecord::header()) + "2,low,5,,,,,\r\n";
        const std::pair<const char*, const char*> rows[] = {
            {"9,high,185,,,,,", "names no device from 1 to 8"},
            {"2,hihg,185,,,,,", "has a kind that is not high, low or silent"},
            {"2,high,18,5,,,,,", "does not have the record's 8 fields"},
            {"2,high,185,,,1234;5,,", "does not hold a number (with a point for decimals)"},
            {"2,high,185,07.12.2026 17:34:26,,,,", "does not hold an ISO 8601 date and time"},
            {"2,high,185,,,,-41,", "does not hold a sample number"},
            {"2,high,185,,,,41,130", "has a sample at end but no end"},
            {"2,high,185,,2026-12-07T17:35:56+01:00,,41,30", "ends before it was raised"}};
        for (const auto& [line, why] : rows)
            QTest::newRow(line) << good + line + "\r\n"
                                << QStringLiteral("a_alarms.csv line 3: \"%1\" %2").arg(line, why);
        QTest::newRow("not the header")
            << QByteArray("device;kind\r\n2,low,5,,,,,\r\n")
            << R"(a_alarms.csv line 1: "device;kind" is not the header of an alarm record)";
    }
    void refusesABadLineByItsNumber() {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        const AlarmRecordRead read = readAlarmRecordText(text, QStringLiteral("a_alarms.csv"));
        QCOMPARE(read.problem, problem);
        QVERIFY(read.alarms.empty());
    }
};

KT7_REGISTER_TEST(AlarmRecordTest)
#include "AlarmRecordTest.moc"
