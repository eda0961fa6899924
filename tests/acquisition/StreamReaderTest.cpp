#include "acquisition/StreamReader.h"
#include "common/DeviceLine.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;
using kt7test::deviceLine;

class StreamReaderTest : public QObject {
    Q_OBJECT
  private slots:
    void terminator_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QByteArray>("terminator");
        QTest::newRow("us") << "us" << QByteArray(" us      \r\n");
        QTest::newRow("eight characters") << "abcdefgh" << QByteArray(" abcdefgh\r\n");
        QTest::newRow("longer than eight") << "abcdefghij" << QByteArray(" abcdefghij\r\n");
        QTest::newRow("empty") << "" << QByteArray("         \r\n");
    }
    void terminator() {
        QFETCH(QString, unit);
        QFETCH(QByteArray, terminator);
        QCOMPARE(lineTerminator(unit), terminator);
    }

    void restartAfterLink_data() {
        QTest::addColumn<QByteArray>("linkText");
        QTest::addColumn<QByteArrayList>("received");
        QTest::addColumn<QByteArrayList>("pieces");
        const QByteArray old = deviceLine("12.30");
        QTest::newRow("partial line continues")
            << old + "12." << QByteArrayList{"34 us      \r\n"} << QByteArrayList{"12.34"};
        QTest::newRow("link text ends between CR and LF")
            << old.chopped(1) << QByteArrayList{'\n' + deviceLine("12.35")}
            << QByteArrayList{"12.35"};
        QTest::newRow("LF comes alone")
            << old.chopped(1) << QByteArrayList{"\n", deviceLine("12.35")}
            << QByteArrayList{"12.35"};
        QTest::newRow("no LF after the CR")
            << old.chopped(1) << QByteArrayList{deviceLine("12.35") + deviceLine("12.36")}
            << QByteArrayList{"12.35", "12.36"};
        QTest::newRow("link text ends with the line")
            << old << QByteArrayList{deviceLine("12.36")} << QByteArrayList{"12.36"};
        QTest::newRow("no CR: first piece has no start")
            << QByteArray("2.34 us") << QByteArrayList{"      \r\n" + deviceLine("12.37")}
            << QByteArrayList{"", "12.37"};
    }
    void restartAfterLink() {
        QFETCH(QByteArray, linkText);
        QFETCH(QByteArrayList, received);
        QFETCH(QByteArrayList, pieces);
        StreamReader reader;
        reader.take("99.9 u", QStringLiteral("us")); // stale text from before an unlink
        reader.restartAfterLink(linkText);
        QByteArrayList taken;
        for (const QByteArray& bytes : received)
            taken += reader.take(bytes, QStringLiteral("us"));
        QCOMPARE(taken, pieces);
        QCOMPARE(reader.pending(), QByteArray());
    }

    void unmatchedTextKeepsNewestCapacity() {
        StreamReader reader;
        QByteArray sent;
        for (int i = 0; sent.size() <= StreamReader::Capacity + 5000; ++i) {
            const QByteArray line = deviceLine(QByteArray::number(i), "kg");
            sent += line;
            QVERIFY(reader.take(line, QStringLiteral("us")).isEmpty());
        }
        QCOMPARE(reader.pending(), sent.right(StreamReader::Capacity));
        // The line cut by the cap must not pass for a reading; the ones after it are whole.
        const auto pieces =
            reader.take(deviceLine("1.5") + deviceLine("2.5"), QStringLiteral("us"));
        QCOMPARE(pieces, (QByteArrayList{"", "2.5"}));
        QCOMPARE(reader.pending(), QByteArray());
    }

    void completeLinesBeyondCapacityAllArrive() {
        StreamReader reader;
        QByteArray sent;
        QByteArrayList expected;
        for (int i = 0; sent.size() <= 2 * StreamReader::Capacity; ++i) {
            expected += QByteArray::number(i);
            sent += deviceLine(expected.back());
        }
        QCOMPARE(reader.take(sent + "12", QStringLiteral("us")), expected);
        QCOMPARE(reader.pending(), QByteArray("12"));
    }
};

KT7_REGISTER_TEST(StreamReaderTest)
#include "StreamReaderTest.moc"
