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

// A judge over device 1's limits; its events as "raised high 185.1 @1 extreme 185.2", in
// seconds from the fake clock's start.
struct Bench {
    const QDateTime start = kt7test::FakeClock().now();
    QStringList events;
    AlarmJudge judge;

    explicit Bench(const DeviceLimits& limits)
        : judge(AlarmSettings{{limits}, {}, false}, [this](auto& e) {
              events << QStringLiteral("%1 %2 %3 @%4")
                                .arg(e.state == AlarmState::Raised ? "raised" : "ended")
                                .arg(alarmKindName(e.kind))
                                .arg(e.value ? numberText(*e.value) : QStringLiteral("-"))
                                .arg(start.secsTo(e.time)) +
                            (e.extreme ? " extreme " + numberText(*e.extreme) : QString());
          }) {}
};

} // namespace

class AlarmJudgeTest : public QObject {
    Q_OBJECT

  private slots:
    void judges_data() {
        QTest::addColumn<DeviceLimits>("limits");
        // "185@3": a reading of 185 at second 3; "L@10": a tick at second 10 with the device
        // linked (W: waiting for its port, U: unlinked).
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hovering at the limit raises once")
            << DeviceLimits{185, {}, 0.5, 0, {}} << "185@0 185.1@1 184.9@2 185.2@3 184.8@4 184.5@5"
            << "raised high 185.1 @1 extreme 185.1; ended high 184.5 @5 extreme 185.2";
        QTest::newRow("a spike shorter than the delay raises nothing, a longer one does")
            << DeviceLimits{185, {}, 0, 2, {}} << "190@0 191@1 184@2 186@3 195@4 186@5"
            << "raised high 186 @5 extreme 195";
        QTest::newRow("low with a dead band")
            << DeviceLimits{{}, 20, 1, 0, {}} << "19.5@0 20.5@1 18@2 21@3"
            << "raised low 19.5 @0 extreme 19.5; ended low 21 @3 extreme 18";
        const DeviceLimits silent{{}, {}, 0, 0, 10};
        QTest::newRow("a stopped instrument") << silent << "5@0 L@0 L@9 L@10 L@11 6@12"
                                              << "raised silent 5 @10; ended silent 6 @12";
        QTest::newRow("an unplugged port, never heard") << silent << "W@0 W@9 W@10 W@30"
                                                        << "raised silent - @10";
        QTest::newRow("unlinking ends it; a new link counts anew")
            << silent << "L@0 L@10 U@11 U@50 L@51 L@60"
            << "raised silent - @10; ended silent - @11";
    }
    void judges() {
        QFETCH(DeviceLimits, limits);
        QFETCH(QString, steps);
        Bench bench(limits);
        for (const QString& step : steps.split(' ')) {
            const QString what = step.section('@', 0, 0);
            const QDateTime time = bench.start.addSecs(step.section('@', 1).toInt());
            const auto presence = what == "L"   ? DevicePresence::Linked
                                  : what == "W" ? DevicePresence::WaitingForPort
                                                : DevicePresence::Unlinked;
            if (what[0].isDigit())
                bench.judge.reading(0, strictToDouble(what.toLatin1()).value(), time);
            else
                bench.judge.tick(time, {presence});
        }
        QTEST(bench.events.join("; "), "expected");
    }

    // The logged rows are cut to MaxBlockRows (and to the device with the fewest lines); a spike
    // beyond them must still raise its alarm.
    void spikeOnlyThePollHolds() {
        kt7test::FakeSerialPorts wires;
        wires.addPort(1);
        const std::unique_ptr<SerialPort> port = wires.create();
        port->setPortNumber(1);
        QVERIFY(port->open().ok());
        std::array<DeviceInput, DeviceCount> inputs;
        inputs[0] = {true, port.get(), QStringLiteral("us"), TareOffset::of(10)};
        QByteArray burst;
        for (int line = 0; line < MaxBlockRows + 9; ++line)
            burst += kt7test::deviceLine(line == MaxBlockRows + 4 ? "210" : "100");
        wires.send(1, burst);
        DevicePoller poller;
        const PollResult poll = poller.poll(inputs);
        QCOMPARE(poll.block.rowCount(), MaxBlockRows);

        Bench bench(DeviceLimits{185, {}, 0, 0, {}});
        bench.judge.readingsPolled(poll, bench.start);
        QCOMPARE(bench.events.join("; "),
                 "raised high 200 @0 extreme 200; ended high 90 @0 extreme 200");
    }
};

KT7_REGISTER_TEST(AlarmJudgeTest)
#include "AlarmJudgeTest.moc"
