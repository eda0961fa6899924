#include "alarms/AlarmsFile.h"
#include "common/TestRegistry.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kt7;

class AlarmsFileTest : public QObject {
    Q_OBJECT

  private slots:
    void readsAndWritesEveryKeyMissingFileIsNone() {
        const AlarmsFileRead read = readAlarmsText(
            "# limits\r\n[device 1]\r\nhigh = 185\r\nlow = 20\r\ndeadband = 0.5\r\n"
            "delay = 2\r\nsilent = 10\r\n\r\n; told\r\n[Device 8]\r\nLOW = -1.25E1\r\n"
            "[notify]\r\ncommand = /usr/local/bin/lab-alarm\r\nbeep = yes\r\n",
            QStringLiteral("alarms.conf"));
        QCOMPARE(read.problem, QString());
        AlarmSettings expected;
        expected.devices[0] = {185, 20, 0.5, 2, 10};
        expected.devices[7].low = -12.5;
        expected.command = QStringLiteral("/usr/local/bin/lab-alarm");
        expected.beep = true;
        QVERIFY(read.settings == expected);

        expected.devices[3] = {1.5e-7, -0.001, 0, 0.25, 3600};
        expected.devices[7].silent = 0; // unlike no silent key at all
        expected.command = QStringLiteral("/opt/lab alarm/tell \"ü\" = ;");
        expected.beep = false;
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("alarms.conf")));
        const AlarmsFileRead missing = readAlarmsFile(file.fileName());
        QVERIFY(missing.problem.isEmpty() && !missing.settings.hasLimits());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(writeAlarmsText(expected)) > 0);
        file.close();
        const AlarmsFileRead back = readAlarmsFile(file.fileName());
        QCOMPARE(back.problem, QString());
        QVERIFY(back.settings == expected);
    }

    void refusesAndUsesNothing_data() {
        QTest::addColumn<QByteArray>("lastLine"); // after a good device section and comments
        QTest::addColumn<QString>("problem");
        const std::pair<const char*, const char*> rows[] = {
            {"hihg = 185", R"(7: "hihg = 185" is not a known key)"},
            {"[sound]", R"(7: "[sound]" is not a known section)"},
            {"[device 9]", R"(7: "[device 9]" names no device from 1 to 8)"},
            {"low = 18,5", R"(7: "low = 18,5" does not hold a number (with a point for decimals))"},
            {"low = 185.5", R"(7: "low = 185.5" puts low above high)"},
            {"deadband = -0.5", R"(7: "deadband = -0.5" must not be negative)"},
            {"low 20", R"(7: "low 20" is not a key = value line)"},
            {"[notify]\nbeep = loud", R"(8: "beep = loud" is neither yes nor no)"}};
        for (const auto& [line, problem] : rows)
            QTest::newRow(line) << QByteArray(line) << QString::fromUtf8(problem);
    }
    void refusesAndUsesNothing() {
        QFETCH(QByteArray, lastLine);
        QFETCH(QString, problem);
        const AlarmsFileRead read = readAlarmsText(
            "[device 1]\nhigh = 185\n\n# note\n; note\n\n" + lastLine + '\n', "alarms.conf");
        QCOMPARE(read.problem, "alarms.conf line " + problem);
        QVERIFY(read.settings == AlarmSettings{});
    }
};

KT7_REGISTER_TEST(AlarmsFileTest)
#include "AlarmsFileTest.moc"
