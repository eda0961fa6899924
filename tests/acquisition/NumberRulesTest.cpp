#include "common/TestRegistry.h"
#include "text/LeftVal.h"
#include "text/NumberFromText.h"
#include "text/NumberText.h"
#include "text/StrictDecimal.h"

#include <QTest>
#include <limits>

using namespace kt7;

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
}

class NumberRulesTest : public QObject {
    Q_OBJECT
  private slots:
    void numberTextOfDouble_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.50") << 12.50 << "12.5";
        QTest::newRow("3.0") << 3.0 << "3";
        QTest::newRow("-3") << -3.0 << "-3";
        QTest::newRow("0.00012 plain") << 0.00012 << "0.00012";
        QTest::newRow("0.000012 scientific") << 0.000012 << "1.2E-05";
        QTest::newRow("1E-05") << 1e-5 << "1E-05";
        QTest::newRow("1E+15") << 1e15 << "1E+15";
        QTest::newRow("largest plain") << 1e14 << "100000000000000";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("32001.5") << 32001.5 << "32001.5";
        QTest::newRow("123456789") << 123456789.0 << "123456789";
        QTest::newRow("32-bit 12.34 less 0.5") << double(12.34f) - 0.5 << "11.8400001525879";
        QTest::newRow("rounding moves the exponent") << 9.999999999999999e-5 << "0.0001";
    }
    void numberTextOfDouble() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(numberText(value), text);
    }

    void numberTextOfFloat_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("123456789") << 123456789.0f << "1.234568E+08";
        QTest::newRow("12.34") << 12.34f << "12.34";
        QTest::newRow("9999999") << 9999999.0f << "9999999";
        QTest::newRow("1E+07") << 1e7f << "1E+07";
        QTest::newRow("-0.5") << -0.5f << "-0.5";
    }
    void numberTextOfFloat() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(numberText(value), text);
    }

    void lenientReading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("unit after blank") << "12.5 kg" << 12.5;
        QTest::newRow("1e3") << "1e3" << 1000.0;
        QTest::newRow("comma ends") << "1,5" << 1.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("blanks tabs LF anywhere") << " -\t1 2\n. 5 " << -12.5;
        QTest::newRow("LF of CR LF") << "\n32001.5" << 32001.5;
        QTest::newRow("D exponent") << "1D2" << 100.0;
        QTest::newRow("d exponent negative") << "1d-2" << 0.01;
        QTest::newRow("plus sign, E exponent") << "+1.5E3" << 1500.0;
        QTest::newRow("exponent without digits") << "1e+" << 1.0;
        QTest::newRow("leading point") << "-.5" << -0.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("trailing letters") << "12.3abc" << 12.3;
        QTest::newRow("double sign") << "--5" << 0.0;
        QTest::newRow("hex") << "&HFF" << 255.0;
        QTest::newRow("hex lower case") << "&h1f" << 31.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&o178" << 15.0;
        QTest::newRow("ampersand alone") << "&X1" << 0.0;
        QTest::newRow("overflow") << "-1e400" << -Inf;
        QTest::newRow("underflow") << "1e-400" << 0.0;
    }
    void lenientReading() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numberFromText(text), value);
    }

    void strictReading_data() {
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<bool>("isDouble");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QByteArray("32000.0") << true << true << 32000.0;
        QTest::newRow("blanks around") << QByteArray("  -3  ") << true << true << -3.0;
        QTest::newRow("sign and exponent") << QByteArray("+1.5E3") << true << true << 1500.0;
        QTest::newRow("leading point") << QByteArray(".5") << true << true << 0.5;
        QTest::newRow("trailing point") << QByteArray("5.") << true << true << 5.0;
        QTest::newRow("largest float")
            << QByteArray("3.4028235e38") << true << true << 3.4028235e38;
        QTest::newRow("beyond float") << QByteArray("1e39") << false << true << 1e39;
        QTest::newRow("beyond double") << QByteArray("1e400") << false << false << 0.0;
        QTest::newRow("tiny reads as zero") << QByteArray("1e-50") << true << true << 1e-50;
        QTest::newRow("letters after") << QByteArray("12.3abc") << false << false << 0.0;
        QTest::newRow("empty") << QByteArray("") << false << false << 0.0;
        QTest::newRow("blanks only") << QByteArray("   ") << false << false << 0.0;
        QTest::newRow("blank inside") << QByteArray("12 34") << false << false << 0.0;
        QTest::newRow("comma") << QByteArray("1,5") << false << false << 0.0;
        QTest::newRow("exponent without digits") << QByteArray("1e") << false << false << 0.0;
        QTest::newRow("D exponent") << QByteArray("1D3") << false << false << 0.0;
        QTest::newRow("LF is not a blank") << QByteArray("\n5") << false << false << 0.0;
        QTest::newRow("infinity") << QByteArray("inf") << false << false << 0.0;
        QTest::newRow("nan") << QByteArray("nan") << false << false << 0.0;
        QTest::newRow("hex") << QByteArray("&H10") << false << false << 0.0;
        QTest::newRow("two signs") << QByteArray("+-1") << false << false << 0.0;
    }
    void strictReading() {
        QFETCH(QByteArray, piece);
        QFETCH(bool, isFloat);
        QFETCH(bool, isDouble);
        QFETCH(double, value);
        const auto asFloat = strictToFloat(piece);
        const auto asDouble = strictToDouble(piece);
        QCOMPARE(asFloat.has_value(), isFloat);
        QCOMPARE(asDouble.has_value(), isDouble);
        if (isFloat)
            QCOMPARE(*asFloat, static_cast<float>(value));
        if (isDouble)
            QVERIFY(*asDouble == value);
    }

    // Results must be exact: they are what the chart, log and labels show.
    void leftValOfDouble_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("expected");
        QTest::newRow("12.34") << 12.34 << 8 << 12.34;
        QTest::newRow("12.34 as 32-bit less 0.5") << double(12.34f) - 0.5 << 8 << 11.84;
        QTest::newRow("integer digits kept") << 123456789.0 << 8 << 123456789.0;
        QTest::newRow("negative integer digits kept") << -123456789.5 << 8 << -123456789.0;
        QTest::newRow("fraction cut") << 123.456789 << 8 << 123.4567;
        QTest::newRow("exponent kept") << 1.2345e-05 << 8 << 1.2345e-05;
        QTest::newRow("mantissa cut, sign counts") << -1.23456789e-10 << 8 << -1.23456e-10;
        QTest::newRow("plain small") << 0.000123456 << 8 << 0.000123;
        QTest::newRow("first significant digit kept") << 0.0001234 << 3 << 0.0001;
        QTest::newRow("one-character mantissa") << 1.5e20 << 1 << 1e20;
        QTest::newRow("infinity passes") << Inf << 8 << Inf;
    }
    void leftValOfDouble() {
        QFETCH(double, x);
        QFETCH(int, n);
        QFETCH(double, expected);
        const double actual = leftVal(x, n);
        QVERIFY2(actual == expected, qPrintable(numberTextWithPrecision(actual, 17)));
    }

    void leftValOfFloat_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<double>("expected");
        QTest::newRow("12.34") << 12.34f << 12.34;
        QTest::newRow("123456789 keeps its exponent") << 123456789.0f << 123456800.0;
        QTest::newRow("7 digits round before the cut") << 1.2345678f << 1.234568;
        QTest::newRow("-1.2345678E+12") << -1.2345678e12f << -1.23456e12;
    }
    void leftValOfFloat() {
        QFETCH(float, x);
        QFETCH(double, expected);
        const double actual = leftVal(x, 8);
        QVERIFY2(actual == expected, qPrintable(numberTextWithPrecision(actual, 17)));
    }
};

KT7_REGISTER_TEST(NumberRulesTest)
#include "NumberRulesTest.moc"
