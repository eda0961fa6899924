#include "alarms/AlarmRecord.h"
#include "common/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace kt7;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class AlarmRecordTest : public QObject {
    Q_OBJECT

  private slots:
    void rowWrittenAtRaiseCompletedAtEnd() {
        QTemporaryDir dir;
        AlarmRecord record(dir.filePath(QStringLiteral("KT7_LogData.csv")));
        const QString path = dir.filePath(QStringLiteral("KT7_LogData_alarms.csv"));
        QCOMPARE(AlarmRecord::pathBeside(R"(C:\KT7 Log\day.1.csv)"),
                 R"(C:\KT7 Log\day.1_alarms.csv)");
        const QDateTime t0(QDate(2026, 12, 7), QTime(17, 34, 26), QTimeZone(3600));
        const QByteArray header = AlarmRecord::header();

        QCOMPARE(record.add({1, AlarmKind::High, AlarmState::Raised, 185.25, 185, t0, 185.25}),
                 QString());
        QCOMPARE(contents(path),
                 header + "2,high,185,2026-12-07T17:34:26+01:00,,185.25,185.25,\r\n");

        QCOMPARE(
            record.add({1, AlarmKind::High, AlarmState::Ended, 184.5, 185, t0.addSecs(90), 1234.5}),
            QString());
        QCOMPARE(contents(path),
                 header +
                     "2,high,185,2026-12-07T17:34:26+01:00,2026-12-07T17:35:56+01:00,1234.5,185.25,"
                     "184.5\r\n");

        // A later run beside the same log keeps the rows already there; silence has no extreme.
        const QByteArray before = contents(path);
        AlarmRecord again(dir.filePath(QStringLiteral("KT7_LogData.csv")));
        QCOMPARE(again.add({0, AlarmKind::Silent, AlarmState::Raised, {}, 10, t0, {}}), QString());
        QCOMPARE(contents(path), before + "1,silent,10,2026-12-07T17:34:26+01:00,,,,\r\n");
    }
};

KT7_REGISTER_TEST(AlarmRecordTest)
#include "AlarmRecordTest.moc"
