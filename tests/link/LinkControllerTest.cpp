#include "link/LinkController.h"
#include "common/DeviceLine.h"
#include "common/TestRegistry.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeSerialPorts.h"

#include <QSignalSpy>
#include <QTest>

using namespace kt7test;
using Several = kt7::LinkController::Several;

namespace {

const QString Busy = QStringLiteral("Communication Port is opened by Decice : ") + QLatin1Char(' ');

// A clock whose timed waits end only when the test says so.
class HeldClock : public FakeClock {
  public:
    void waitThen(int milliseconds, QObject*, std::function<void()> done) override {
        waits.push_back(milliseconds);
        held.push_back(std::move(done));
    }
    void endWaits() {
        ports->deliverPending();
        for (auto& done : std::exchange(held, {}))
            done();
    }
    FakeSerialPorts* ports = nullptr;
    std::vector<std::function<void()>> held;
};

struct Links {
    explicit Links(FakeClock& clock) : links(table, ports, clock, messages, poller) {
        for (int port = 1; port <= 4; ++port)
            ports.addPort(port);
        clock.onWait = [this](int) { ports.deliverPending(); };
    }
    // O off, L linked, W waiting, per device up to the last one asked for.
    QString states(int count) const {
        QString text;
        for (int i = 0; i < count; ++i)
            text += "OLLW"[static_cast<int>(table[i].link)];
        return text;
    }
    kt7::DeviceSlots table;
    FakeSerialPorts ports;
    FakeMessageBoxes messages;
    kt7::DevicePoller poller;
    kt7::LinkController links;
};

} // namespace

// Links made several at once, relinks and the link button's conflict rule, without a window.
class LinkControllerTest : public QObject {
    Q_OBJECT

  private slots:
    void severalInOneWait_data() {
        QTest::addColumn<int>("how");
        QTest::addColumn<QList<int>>("portOf"); // per device
        QTest::addColumn<QList<int>>("speaking");
        QTest::addColumn<int>("missingPort");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("message"); // empty: none
        const int button = int(Several::AsLinkButton), keep = int(Several::KeepTrying);
        QTest::newRow("all speak")
            << button << QList<int>{1, 2, 3} << QList<int>{1, 2, 3} << 0 << "LLL"
            << "";
        QTest::newRow("silent one ends off, silently")
            << button << QList<int>{1, 2} << QList<int>{1} << 0 << "LO"
            << "";
        QTest::newRow("silent one waits, told")
            << keep << QList<int>{1, 2} << QList<int>{1} << 0 << "LW"
            << "Device 2 (COM 2) sent no reading";
        QTest::newRow("second on one port refused")
            << button << QList<int>{1, 1} << QList<int>{1} << 0 << "LO" << Busy + "1";
        QTest::newRow("port missing, as the button")
            << button << QList<int>{4, 1} << QList<int>{1} << 4 << "OL"
            << "COM 4 (/dev/fake4) could not be opened";
        QTest::newRow("port missing, waits")
            << keep << QList<int>{4, 1} << QList<int>{1} << 4 << "WL"
            << "COM 4 (/dev/fake4) could not be opened";
    }
    void severalInOneWait() {
        QFETCH(int, how);
        QFETCH(QList<int>, portOf);
        QFETCH(QList<int>, speaking);
        QFETCH(int, missingPort);
        QFETCH(QString, states);
        QFETCH(QString, message);
        FakeClock clock;
        Links f(clock);
        if (missingPort)
            f.ports.removePort(missingPort);
        QList<int> devices;
        for (int i = 0; i < portOf.size(); ++i) {
            f.links.choosePort(i, portOf[i]);
            devices << i;
        }
        for (int port : speaking)
            f.ports.sendDuringWait(port, deviceLine("2.5", "kg"));
        bool done = false;
        f.links.linkSeveral(devices, Several(how), [&done] { done = true; });
        QVERIFY(done);
        QCOMPARE(clock.waits, std::vector<int>{600}); // one wait for all of them
        QCOMPARE(f.states(portOf.size()), states);
        QCOMPARE(f.messages.shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(f.messages.shown[0].contains(message), qPrintable(f.messages.shown[0]));
        for (int i = 0; i < portOf.size(); ++i) {
            QCOMPARE(f.links.port(i).isOpen(), states[i] == 'L');
            const QString before = i == 0 ? QStringLiteral("unit") : QStringLiteral("us");
            QCOMPARE(f.table[i].unit, states[i] == 'L' ? QStringLiteral("kg") : before);
        }
    }

    // Two devices on one port: the second is judged once the first's link has ended, and takes
    // the port the first failed to link on.
    void sharedPortFreedByAFailedLink() {
        HeldClock clock;
        Links f(clock);
        clock.ports = &f.ports;
        f.links.choosePort(0, 1);
        f.links.choosePort(1, 1);
        bool done = false;
        f.links.linkSeveral({0, 1}, Several::AsLinkButton, [&done] { done = true; });
        clock.endWaits(); // the first sent nothing
        QCOMPARE(f.table[1].link, kt7::LinkState::Linking);
        QVERIFY(!done);
        f.ports.sendDuringWait(1, deviceLine("3", "kg"));
        clock.endWaits();
        QVERIFY(done);
        QCOMPARE(f.states(2), QStringLiteral("OL"));
        QCOMPARE(f.table[1].unit, QStringLiteral("kg"));
        QCOMPARE(clock.waits, (std::vector<int>{600, 600}));
        QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join('\n')));
    }

    // The user takes a device back while the common wait runs: it stays off, its port closed.
    void unlinkDuringTheWaitWins() {
        HeldClock clock;
        Links f(clock);
        clock.ports = &f.ports;
        f.links.choosePort(0, 1);
        f.links.choosePort(1, 2);
        f.ports.sendDuringWait(1, deviceLine("1", "kg"));
        f.ports.sendDuringWait(2, deviceLine("2", "kg"));
        f.links.linkSeveral({0, 1}, Several::AsLinkButton);
        QCOMPARE(f.states(2), QStringLiteral("LL")); // linking: the boxes are down
        QVERIFY(f.links.linkClicked(0, false));
        clock.endWaits();
        QCOMPARE(f.states(2), QStringLiteral("OL"));
        QVERIFY(!f.links.port(0).isOpen());
        QCOMPARE(f.table[0].valueText, QStringLiteral("32000.0"));
    }

    // A tare from the set-up is taken from the first link's reading and kept through relinks; a
    // break is told once after a link, or every time when asked.
    void relinkKeepsTheTare_data() {
        QTest::addColumn<bool>("everyLoss");
        QTest::newRow("first break told") << false;
        QTest::newRow("every break told") << true;
    }
    void relinkKeepsTheTare() {
        QFETCH(bool, everyLoss);
        FakeClock clock;
        Links f(clock);
        f.links.tellEveryLoss(everyLoss);
        QSignalSpy linked(&f.links, &kt7::LinkController::linked);
        f.links.choosePort(0, 1);
        f.table[0].tareOn = f.table[0].tareAtLink = true;
        f.ports.sendDuringWait(1, deviceLine("5", "kg"));
        f.links.linkSeveral({0}, Several::KeepTrying);
        QCOMPARE(f.table[0].tare, kt7::TareOffset::of(5));

        for (int breaks = 1; breaks <= 2; ++breaks) {
            f.ports.breakPort(1);
            QTRY_COMPARE(f.states(1), QStringLiteral("W"));
            QCOMPARE(f.messages.shown.size(), everyLoss ? breaks : 1);
            QVERIFY(f.links.relinkTimer()->isActive());
            f.ports.sendDuringWait(1, deviceLine("7", "kg"));
            f.links.relinkRound();
            QCOMPARE(f.states(1), QStringLiteral("L"));
            QCOMPARE(f.table[0].valueText, QStringLiteral("7"));
            QCOMPARE(f.table[0].tare, kt7::TareOffset::of(5));
            QVERIFY(!f.links.relinkTimer()->isActive());
        }
        QCOMPARE(linked.size(), 3);
        QCOMPARE(linked.last().value(1).toBool(), true); // linked again
    }
};

KT7_REGISTER_TEST(LinkControllerTest)
#include "LinkControllerTest.moc"
