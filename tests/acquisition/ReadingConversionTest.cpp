#include "acquisition/ReadingConversion.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

Q_DECLARE_METATYPE(kt7::TareOffset)

class ReadingConversionTest : public QObject {
    Q_OBJECT
  private slots:
    // NaN in "cell" means an empty cell; an empty "label" means the caption stays as it was.
    void readingLessTare_data() {
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<TareOffset>("tare");
        QTest::addColumn<double>("cell");
        QTest::addColumn<QString>("label");
        const double none = qQNaN();
        QTest::newRow("12.34") << QByteArray("12.34") << TareOffset::unset() << 12.34 << "12.34";
        QTest::newRow("12.34 less 0.5")
            << QByteArray("12.34") << TareOffset::of(0.5) << 11.84 << "11.84";
        QTest::newRow("123456789")
            << QByteArray("123456789") << TareOffset::unset() << 123456800.0 << "123456789";
        // 32-bit text rounds to 7 digits; 64-bit text is cut after 7.
        QTest::newRow("unset tare, 32-bit")
            << QByteArray("1.2345678") << TareOffset::unset() << 1.234568 << "1.234567";
        QTest::newRow("tare off, 32-bit")
            << QByteArray("1.2345678") << TareOffset::zero() << 1.234568 << "1.234567";
        QTest::newRow("tare on at 0, 64-bit")
            << QByteArray("1.2345678") << TareOffset::of(0) << 1.234567 << "1.234567";
        QTest::newRow("negative after tare")
            << QByteArray("-3") << TareOffset::of(2) << -5.0 << "-5";
        QTest::newRow("sign and exponent")
            << QByteArray(" +1.5E3") << TareOffset::unset() << 1500.0 << "1500";
        QTest::newRow("not a number") << QByteArray("12.3abc") << TareOffset::unset() << none << "";
        QTest::newRow("beyond 32 bits")
            << QByteArray("1e39") << TareOffset::unset() << none << "1E+39";
        QTest::newRow("empty piece") << QByteArray() << TareOffset::unset() << none << "";
    }
    void readingLessTare() {
        QFETCH(QByteArray, piece);
        QFETCH(TareOffset, tare);
        QFETCH(double, cell);
        QFETCH(QString, label);
        const auto actualCell = sampleCell(piece, tare);
        QCOMPARE(actualCell.has_value(), !qIsNaN(cell));
        if (actualCell)
            QVERIFY2(*actualCell == cell, qPrintable(QString::number(*actualCell, 'g', 17)));
        QCOMPARE(valueLabelText(piece, tare).value_or(QString()), label);
    }

    void convertPiecesCapsCellsButLabelsNewest() {
        const QByteArrayList pieces{"1", "x", "3", "4"};
        const DeviceReadings readings = convertPieces(pieces, TareOffset::unset(), 3);
        QCOMPARE(readings.lineCount, 4);
        QCOMPARE(readings.cells, (std::vector<std::optional<double>>{1.0, std::nullopt, 3.0}));
        QCOMPARE(readings.label.value_or(QString()), QStringLiteral("4"));
    }
};

KT7_REGISTER_TEST(ReadingConversionTest)
#include "ReadingConversionTest.moc"
