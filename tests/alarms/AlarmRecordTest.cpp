#include "alarms/AlarmRecord.h"
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
        // A new record, as for a new log, starts a new file; silence has no extreme.
        QCOMPARE(
            AlarmRecord(log).add({0, AlarmKind::Silent, AlarmState::Raised, {}, 10, t0, {}}, 0),
            QString());
        QCOMPARE(contents(), header + "1,silent,10,2026-12-07T17:34:26+01:00,,,,\r\n");
    }
};

KT7_REGISTER_TEST(AlarmRecordTest)
#include "AlarmRecordTest.moc"
