#include "acquisition/DevicePoller.h"
#include "common/DeviceLine.h"
#include "common/TestRegistry.h"
#include "fakes/FakeSerialPorts.h"
#include "link/LinkMessages.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kt7;
using kt7test::deviceLine;

namespace {

using Cells = std::vector<std::optional<double>>;

// Eight fake instruments on ports 1..8, each unlinked until a test links it.
struct Rig {
    kt7test::FakeSerialPorts wires;
    std::vector<std::unique_ptr<SerialPort>> ports;
    std::array<DeviceInput, DeviceCount> inputs;
    DevicePoller poller;

    Rig() {
        for (int i = 0; i < DeviceCount; ++i) {
            wires.addPort(i + 1);
            ports.push_back(wires.create());
            ports.back()->setPortNumber(i + 1);
            inputs[i].port = ports.back().get();
            inputs[i].unit = QStringLiteral("us");
        }
    }
    void link(int device) {
        QVERIFY(ports[device]->open().ok());
        inputs[device].linked = true;
    }
    void send(int device, const QByteArray& bytes) { wires.send(device + 1, bytes); }
    PollResult poll() { return poller.poll(inputs); }
};

// Everything one device produced over a run of ticks. Streams end in an unterminated tail of at
// least seven characters, so the six or fewer that may stay in the port all belong to the tail.
struct DeviceHistory {
    Cells cells;
    QString lastLabel;
    QByteArray unread; // pending text plus what is still waiting in the port
};

DeviceHistory feed(const QByteArrayList& chunks) {
    Rig rig;
    rig.link(0);
    DeviceHistory history;
    for (const QByteArray& chunk : chunks) {
        rig.send(0, chunk);
        const PollResult result = rig.poll();
        const Cells& column = result.block.columns[0];
        history.cells.insert(history.cells.end(), column.begin(), column.end());
        if (result.valueLabels[0])
            history.lastLabel = *result.valueLabels[0];
    }
    history.unread = rig.poller.rxBuffer(0) + rig.ports[0]->readAll();
    return history;
}

void compareHistories(const DeviceHistory& actual, const DeviceHistory& expected) {
    QCOMPARE(actual.cells, expected.cells);
    QCOMPARE(actual.lastLabel, expected.lastLabel);
    QCOMPARE(actual.unread, expected.unread);
}

QByteArray awkwardStream() {
    // A line in another unit runs into the next piece, which then is no number.
    return deviceLine("12.34") + deviceLine("") + deviceLine("7", "kg") + deviceLine("x") +
           deviceLine("-1.5E3") + "32001.25";
}

} // namespace

class DevicePollerTest : public QObject {
    Q_OBJECT
  private slots:
    void sameResultWhereverTwoCutsFall() {
        const QByteArray stream = awkwardStream();
        const DeviceHistory whole = feed({stream});
        QCOMPARE(whole.cells, (Cells{12.34, std::nullopt, std::nullopt, -1500.0}));
        QCOMPARE(whole.lastLabel, QStringLiteral("-1500"));
        QCOMPARE(whole.unread, QByteArray("32001.25"));
        for (int a = 0; a <= stream.size(); ++a)
            for (int b = a; b <= stream.size(); ++b) {
                compareHistories(feed({stream.left(a), stream.mid(a, b - a), stream.mid(b)}),
                                 whole);
                if (QTest::currentTestFailed())
                    QFAIL(qPrintable(QStringLiteral("cuts at %1 and %2").arg(a).arg(b)));
            }
    }

    void sameResultForRandomChunks() {
        QRandomGenerator random(7);
        QByteArray stream;
        for (int i = 0; i < 50; ++i)
            stream += deviceLine(QByteArray::number(random.bounded(-100000, 100000) / 100.0));
        stream += "9.87654"; // longer than six, so no line end can be left waiting in the port
        const DeviceHistory whole = feed({stream});
        QCOMPARE(whole.cells.size(), std::size_t{50});
        for (int round = 0; round < 200; ++round) {
            QByteArrayList chunks;
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype size = random.bounded(1, 40);
                chunks += stream.mid(at, size);
                at += size;
            }
            compareHistories(feed(chunks), whole);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void sixWaitingCharactersStayInPort() {
        Rig rig;
        rig.link(0);
        rig.send(0, "12.34 ");
        PollResult result = rig.poll();
        QVERIFY(!result.dataThisTick);
        QCOMPARE(rig.ports[0]->bytesWaiting(), 6);
        rig.send(0, "u");
        result = rig.poll();
        QVERIFY(result.dataThisTick);
        QVERIFY(!result.hasRows()); // data but no complete line: no rows at all
        QCOMPARE(rig.poller.rxBuffer(0), QByteArray("12.34 u"));
    }

    void rowsEndAtSmallestLineCount() {
        Rig rig;
        for (int i : {0, 1, 2, 4})
            rig.link(i);
        for (int k = 1; k <= 3; ++k)
            rig.send(0, deviceLine(QByteArray::number(k)));
        for (int k = 1; k <= 5; ++k)
            rig.send(1, deviceLine(QByteArray::number(10 * k)));
        rig.send(2, "partial line");
        QVERIFY(rig.ports[3]->open().ok()); // open but not linked
        rig.send(3, deviceLine("99"));
        rig.send(4, "7.5 us"); // too short to be read
        rig.inputs[4].port = nullptr;

        const PollResult result = rig.poll();
        QCOMPARE(result.lastRow, 2);
        QCOMPARE(result.block.rowCount(), 3);
        QCOMPARE(result.block.columns[0], (Cells{1.0, 2.0, 3.0}));
        QCOMPARE(result.block.columns[1], (Cells{10.0, 20.0, 30.0}));
        QCOMPARE(result.block.columns[2], Cells(3));
        QCOMPARE(result.block.columns[3], Cells(3));
        QCOMPARE(result.valueLabels[1].value_or(QString()), QStringLiteral("50"));
        QVERIFY(!result.valueLabels[2]);
        QCOMPARE(result.lastPieceCount, 0); // device 3 was the last with data
        QCOMPARE(rig.ports[3]->bytesWaiting(), deviceLine("99").size());
    }

    void blockHoldsAtMost51Rows() {
        Rig rig;
        rig.link(0);
        rig.link(5);
        for (int k = 1; k <= 60; ++k) {
            rig.send(0, deviceLine(QByteArray::number(k)));
            rig.send(5, deviceLine(QByteArray::number(-k)));
        }
        const PollResult result = rig.poll();
        QCOMPARE(result.block.rowCount(), MaxBlockRows);
        QCOMPARE(result.block.row(50)[0], std::optional<double>(51.0));
        QCOMPARE(result.block.row(50)[5], std::optional<double>(-51.0));
        QCOMPARE(result.valueLabels[0].value_or(QString()), QStringLiteral("60"));
        QCOMPARE(result.valueLabels[5].value_or(QString()), QStringLiteral("-60"));
        QCOMPARE(result.lastPieceCount, 60);
    }

    void tareAndUnitPerDevice() {
        Rig rig;
        rig.link(0);
        rig.link(1);
        rig.inputs[0].tare = TareOffset::of(0.5);
        rig.inputs[1].unit = QStringLiteral("kg");
        rig.send(0, deviceLine("12.34"));
        rig.send(1, deviceLine("123456789", "kg"));
        const PollResult result = rig.poll();
        QCOMPARE(result.block.row(0)[0], std::optional<double>(11.84));
        QCOMPARE(result.block.row(0)[1], std::optional<double>(123456800.0));
        QCOMPARE(result.valueLabels[0].value_or(QString()), QStringLiteral("11.84"));
        QCOMPARE(result.valueLabels[1].value_or(QString()), QStringLiteral("123456789"));
    }

    void relinkStartsAtNextWholeLine() {
        Rig rig;
        rig.link(0);
        rig.send(0, deviceLine("12.34") + "12.");
        rig.poll();
        QCOMPARE(rig.poller.rxBuffer(0), QByteArray("12."));
        // Unlinked and linked again; the link check read up to the middle of a line.
        rig.poller.restartAfterLink(0, deviceLine("56.78") + "56.");
        rig.send(0, "79 us      \r\n");
        const PollResult result = rig.poll();
        QCOMPARE(result.block.columns[0], (Cells{56.79}));
    }

    void unreadablePortContributesNothing() {
        Rig rig;
        rig.link(0);
        rig.link(1);
        rig.send(0, deviceLine("1"));
        rig.send(1, deviceLine("2"));
        rig.ports[1]->close();
        const PollResult result = rig.poll();
        QCOMPARE(result.block.columns[0], (Cells{1.0}));
        QCOMPARE(result.block.columns[1], Cells(1));
        QCOMPARE(result.lastPieceCount, 1);
    }

    // Text keeps arriving without a line of the linked unit: told once after a few ticks, and
    // again only after the next link. A device that stays silent is never told. Lines in another
    // unit name it; a flood without line ends is told as such, not as a new unit.
    void unitChangeIsToldOncePerLink_data() {
        QTest::addColumn<QByteArray>("tickText"); // %1: the tick's number
        QTest::addColumn<QString>("newUnit");
        QTest::addColumn<QString>("told"); // a part of the message
        QTest::newRow("lines in another unit") << deviceLine("%1", "V") << "V"
                                               << "It now sends \"V\". ";
        QTest::newRow("text without line ends")
            << QByteArray(3000, 'x').append("%1") << ""
            << "sends text, but no complete line in the unit \"us\"";
    }
    void unitChangeIsToldOncePerLink() {
        QFETCH(QByteArray, tickText);
        QFETCH(QString, newUnit);
        QFETCH(QString, told);
        Rig rig;
        rig.link(0);
        rig.link(1);
        QList<int> toldAt;
        for (int tick = 1; tick <= 12; ++tick) {
            if (tick == 8)
                rig.poller.restartAfterLink(0, QByteArray());
            rig.send(0, QByteArray(tickText).replace("%1", QByteArray::number(tick)));
            const PollResult result = rig.poll();
            QVERIFY(!result.unitChanges[1]);
            if (result.unitChanges[0]) {
                toldAt << tick;
                QCOMPARE(result.unitChanges[0]->linkedUnit, QStringLiteral("us"));
                QCOMPARE(result.unitChanges[0]->newUnit, newUnit);
                const QString message = unitChangeText(0, "COM 1", *result.unitChanges[0]);
                QVERIFY2(message.startsWith("Device 1 (COM 1) ") && message.contains(told),
                         qPrintable(message));
            }
        }
        QCOMPARE(toldAt, (QList<int>{DevicePoller::TicksBeforeUnitChange, 12}));
    }

    void noDataNoRows() {
        Rig rig;
        rig.link(0);
        const PollResult result = rig.poll();
        QVERIFY(!result.dataThisTick);
        QVERIFY(!result.hasRows());
        QCOMPARE(result.lastRow, 50);
    }
};

KT7_REGISTER_TEST(DevicePollerTest)
#include "DevicePollerTest.moc"
