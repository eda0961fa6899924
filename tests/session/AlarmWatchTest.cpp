#include "common/TestRegistry.h"
#include "notify/AlarmCommand.h"
#include "session/SessionBench.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace kt7test;
using kt7::AlarmEvent;
using kt7::AlarmKind;
using kt7::AlarmState;

namespace {

QList<QByteArray> rowsOf(const QString& path) {
    QFile file(path);
    QList<QByteArray> rows = file.open(QIODevice::ReadOnly) ? file.readAll().split('\n')
                                                            : QList<QByteArray>{"(missing)"};
    rows.removeFirst(); // the header
    rows.removeLast();  // after the last line end
    for (QByteArray& row : rows) {
        // Device, kind, extreme and the sample numbers; the dates are the fake clock's.
        const QList<QByteArray> f = row.trimmed().split(',');
        row = f.value(0) + ',' + f.value(1) + ',' + f.value(5) + ',' + f.value(6) + ',' +
              f.value(7) + (f.value(4).isEmpty() ? "" : ",ended");
    }
    return rows;
}

} // namespace

// Alarms through the session: judged as the ticks poll, recorded beside each file of the log with
// the log's sample numbers, and told to the user's command.
class AlarmWatchTest : public QObject {
    Q_OBJECT

  private slots:
    void recordBesideEachFile() {
        QTemporaryDir folder;
        SessionBench bench(folder.path());
        kt7::AlarmSettings limits;
        limits.devices[0].high = 185;
        bench.session.setAlarmSettings(limits);
        QSignalSpy told(&bench.session, &kt7::LoggerSession::alarmChanged);
        bench.session.setLogSplit(*kt7::LogSplit::parse(QStringLiteral("daily")));
        const QString first = folder.filePath("KT7_LogData_2026-12-07_alarms.csv");
        const QString second = folder.filePath("KT7_LogData_2026-12-07_2_alarms.csv");
        QFile stale(first); // the last run's, not this log's
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("old\r\n") > 0);
        stale.close();
        QVERIFY(bench.session.openLog(folder.filePath("KT7_LogData.csv"),
                                      kt7::LoggerSession::LogOpening::Unattended));
        QVERIFY(!QFile::exists(first));

        bench.tick("100");
        bench.tick("190");
        bench.tick("195");
        QCOMPARE(rowsOf(first), QList<QByteArray>{"1,high,190,2,"});
        QVERIFY(bench.session.statusText().contains(", alarms active 1"));
        QVERIFY(bench.session.startNewFile(bench.view));
        // The new file's record holds the alarm still active, and its end.
        bench.tick("180");
        QCOMPARE(rowsOf(second), QList<QByteArray>{"1,high,195,2,4,ended"});
        QCOMPARE(rowsOf(first), QList<QByteArray>{"1,high,190,2,"});
        QCOMPARE(told.size(), 2);

        // New limits end the alarms of the old ones.
        bench.tick("300");
        limits.devices[0].high = 400;
        bench.session.setAlarmSettings(limits);
        QCOMPARE(told.size(), 4);
        QCOMPARE(told.last().at(0).value<AlarmEvent>().state, AlarmState::Ended);
        QCOMPARE(bench.session.activeAlarmCount(), 0);
    }

#ifndef Q_OS_WIN
    void commandGetsTheDetails() {
        QTemporaryDir folder;
        const QString script = folder.filePath("lab-alarm");
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n"
                   "echo \"$KT7_DEVICE|$KT7_LABEL|$KT7_STATE|$KT7_VALUE|$KT7_LIMIT|$KT7_UNIT|"
                   "$KT7_TIME\" >> \"$1\"\n");
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
        const QString out = folder.filePath("told by 'the' $(command).txt");
        QStringList problems;
        kt7::AlarmCommand command('"' + script + "\" \"" + out + '"',
                                  [&](const QString& p) { problems << p; });
        const QDateTime when(QDate(2026, 12, 7), QTime(17, 34, 26), QTimeZone(3600));
        // A label a shell would run, were it handed one.
        command.run({2, AlarmKind::Low, AlarmState::Raised, -1.5, -1, when, -1.5}, "$(reboot); x",
                    "°C");
        command.run({2, AlarmKind::Low, AlarmState::Ended, 0, -1, when, -1.5}, "", "°C");
        QSignalSpy finished(&command, &kt7::AlarmCommand::finished);
        QVERIFY(finished.wait(10000));
        QFile told(out);
        QVERIFY(told.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(told.readAll()),
                 "3|$(reboot); x|low|-1.5|-1|°C|2026-12-07T17:34:26+01:00\n"
                 "3||ok|0|-1|°C|2026-12-07T17:34:26+01:00\n");
        QVERIFY(problems.isEmpty());
    }

    // Each failure once, however many alarms meet it; a command that hangs is stopped.
    void commandFailuresToldOnce() {
        QStringList problems;
        const auto told = [&problems](const QString& p) { problems << p; };
        const AlarmEvent event{0, AlarmKind::High, AlarmState::Raised, 9, 8, {}, 9};
        kt7::AlarmCommand missing("/nonexistent/lab-alarm", told);
        kt7::AlarmCommand failing("/bin/sh -c \"exit 3\"", told);
        kt7::AlarmCommand hanging("/bin/sleep 30", told, 200);
        for (kt7::AlarmCommand* command : {&missing, &failing, &hanging}) {
            QSignalSpy finished(command, &kt7::AlarmCommand::finished);
            command->run(event, {}, {});
            command->run(event, {}, {});
            QVERIFY(finished.wait(10000));
        }
        QCOMPARE(problems.size(), 3);
        QVERIFY(problems[0].startsWith("The alarm command /nonexistent/lab-alarm could not be "
                                       "started"));
        QCOMPARE(problems[1], "The alarm command /bin/sh ended with exit code 3.");
        QCOMPARE(problems[2], "The alarm command /bin/sleep took longer than 0.2 s and was "
                              "stopped.");
    }
#endif
};

KT7_REGISTER_TEST(AlarmWatchTest)
#include "AlarmWatchTest.moc"
