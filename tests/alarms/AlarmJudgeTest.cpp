#include "alarms/AlarmJudge.h"
#include "common/DeviceLine.h"
#include "common/TestRegistry.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSerialPorts.h"
#include "text/NumberText.h"
#include "text/StrictDecimal.h"

#include <QTest>

using namespace kt7;

Q_DECLARE_METATYPE(kt7::DeviceLimits)

namespace {

// A judge over one device's limits; its events as "raised high 185.1 @1 extreme 185.2", in
// seconds from the fake clock's start.
struct Bench {
    const QDateTime start = kt7test::FakeClock().now();
    QStringList events;
    AlarmJudge judge;

    Bench(const DeviceLimits& limits, int device)
        : judge(settings(limits, device), [this](auto& e) {
              events << QStringLiteral("%1 %2 %3 @%4")
                                .arg(e.state == AlarmState::Raised ? "raised" : "ended")
                                .arg(alarmKindName(e.kind))
                                .arg(e.value ? numberText(*e.value) : QStringLiteral("-"))
                                .arg(start.secsTo(e.time)) +
                            (e.extreme ? " extreme " + numberText(*e.extreme) : QString());
          }) {}
    static AlarmSettings settings(const DeviceLimits& limits, int device) {
        AlarmSettings s;
        s.devices[device] = limits;
        return s;
    }
};

} // namespace

class AlarmJudgeTest : public QObject {
    Q_OBJECT

  private slots:
    void judges_data() {
        QTest::addColumn<DeviceLimits>("limits");
        // "r 3 5": a reading of 5 at second 3; "t 10 L": a tick at second 10 with the device
        // linked (W: waiting for its port, U: unlinked).
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("hovering at the limit raises once")
            << DeviceLimits{185, {}, 0.5, 0, {}}
            << QStringList{"r 0 185",   "r 1 185.1", "r 2 184.9",
                           "r 3 185.2", "r 4 184.8", "r 5 184.5"}
            << QStringList{"raised high 185.1 @1 extreme 185.1",
                           "ended high 184.5 @5 extreme 185.2"};
        QTest::newRow("a spike shorter than the delay raises nothing, a longer one does")
            << DeviceLimits{185, {}, 0, 2, {}}
            << QStringList{"r 0 190", "r 1 191", "r 2 184", "r 3 186", "r 4 195", "r 5 186"}
            << QStringList{"raised high 186 @5 extreme 195"};
        QTest::newRow("low with a dead band")
            << DeviceLimits{{}, 20, 1, 0, {}}
            << QStringList{"r 0 19.5", "r 1 20.5", "r 2 18", "r 3 21"}
            << QStringList{"raised low 19.5 @0 extreme 19.5", "ended low 21 @3 extreme 18"};
        const DeviceLimits silent{{}, {}, 0, 0, 10};
        QTest::newRow("a stopped instrument")
            << silent << QStringList{"r 0 5", "t 0 L", "t 9 L", "t 10 L", "t 11 L", "r 12 6"}
            << QStringList{"raised silent 5 @10", "ended silent 6 @12"};
        QTest::newRow("an unplugged port, never heard")
            << silent << QStringList{"t 0 W", "t 9 W", "t 10 W", "t 30 W"}
            << QStringList{"raised silent - @10"};
        QTest::newRow("unlinking ends it; a new link counts anew")
            << silent << QStringList{"t 0 L", "t 10 L", "t 11 U", "t 50 U", "t 51 L", "t 60 L"}
            << QStringList{"raised silent - @10", "ended silent - @11"};
    }
    void judges() {
        QFETCH(DeviceLimits, limits);
        QFETCH(QStringList, steps);
        Bench bench(limits, 0);
        for (const QString& step : steps) {
            const QStringList f = step.split(' ');
            const QDateTime time = bench.start.addSecs(f[1].toInt());
            std::array<DevicePresence, DeviceCount> presence{};
            presence[0] = f[2] == "L"   ? DevicePresence::Linked
                          : f[2] == "W" ? DevicePresence::WaitingForPort
                                        : DevicePresence::Unlinked;
            if (f[0] == "r")
                bench.judge.reading(0, strictToDouble(f[2].toLatin1()).value(), time);
            else
                bench.judge.tick(time, presence);
        }
        QTEST(bench.events, "expected");
    }

    // The logged rows are cut to MaxBlockRows (and to the device with the fewest lines); a spike
    // beyond them must still raise its alarm.
    void spikeOnlyThePollHolds() {
        kt7test::FakeSerialPorts wires;
        wires.addPort(2);
        const std::unique_ptr<SerialPort> port = wires.create();
        port->setPortNumber(2);
        QVERIFY(port->open().ok());
        std::array<DeviceInput, DeviceCount> inputs;
        inputs[1] = {true, port.get(), QStringLiteral("us"), TareOffset::of(10)};
        QByteArray burst;
        for (int line = 0; line < MaxBlockRows + 9; ++line)
            burst += kt7test::deviceLine(line == MaxBlockRows + 4 ? "210" : "100");
        wires.send(2, burst);
        DevicePoller poller;
        const PollResult poll = poller.poll(inputs);
        QCOMPARE(poll.block.rowCount(), MaxBlockRows);

        Bench bench(DeviceLimits{185, {}, 0, 0, {}}, 1);
        bench.judge.readingsPolled(poll, bench.start);
        QCOMPARE(bench.events,
                 (QStringList{"raised high 200 @0 extreme 200", "ended high 90 @0 extreme 200"}));
    }
};

KT7_REGISTER_TEST(AlarmJudgeTest)
#include "AlarmJudgeTest.moc"
