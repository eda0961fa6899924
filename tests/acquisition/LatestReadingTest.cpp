#include "acquisition/LatestReading.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

class LatestReadingTest : public QObject {
    Q_OBJECT
  private slots:
    void parse_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("unit");
        const QByteArray twoLines = "32000.0 us      \r\n32001.5 us      \r\n320";
        QTest::newRow("latest complete line") << twoLines << true << 32001.5 << "us";
        QTest::newRow("no CR") << QByteArray("32000.0 us      ") << false << 0.0 << "";
        QTest::newRow("empty") << QByteArray() << false << 0.0 << "";
        QTest::newRow("single CR") << QByteArray("\r") << false << 0.0 << "";
        QTest::newRow("only line") << QByteArray("12.5 kg\r") << true << 12.5 << "kg";
        QTest::newRow("CR first") << QByteArray("\r12.5 kg\r") << true << 12.5 << "kg";
        QTest::newRow("leading blank") << QByteArray("1 kg\r\n 12.5 kg\r\n") << false << 0.0 << "";
        QTest::newRow("latest line empty") << QByteArray("12.5 kg\r\r") << false << 0.0 << "";
        QTest::newRow("latest line only LF") << QByteArray("12.5 kg\r\n\r") << false << 0.0 << "";
        QTest::newRow("LF then blank") << QByteArray("1 kg\r\n kg\r") << false << 0.0 << "";
        QTest::newRow("two blanks give empty unit")
            << QByteArray("12.3  kg\r\n") << true << 12.3 << "";
        QTest::newRow("lenient value") << QByteArray("12.3abc us\r\n") << true << 12.3 << "us";
        QTest::newRow("sign and exponent") << QByteArray("+1.5E3 kg\r\n") << true << 1500.0 << "kg";
        QTest::newRow("LF inside value") << QByteArray("1\n2.5 kg\r") << true << 12.5 << "kg";
        QTest::newRow("no blank") << QByteArray("1 kg\r\n12.5\r\n") << false << 0.0 << "";
        QTest::newRow("eight-character unit")
            << QByteArray("7 abcdefgh\r\n") << true << 7.0 << "abcdefgh";
    }
    void parse() {
        QFETCH(QByteArray, text);
        QFETCH(bool, found);
        QFETCH(double, value);
        QFETCH(QString, unit);
        const LatestReading reading = parseLatestReading(text);
        QCOMPARE(reading.found, found);
        if (found) {
            QCOMPARE(reading.value, value);
            QCOMPARE(reading.unit, unit);
        }
    }
};

KT7_REGISTER_TEST(LatestReadingTest)
#include "LatestReadingTest.moc"
