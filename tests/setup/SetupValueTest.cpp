#include "setup/SetupValue.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

using MaybeInt = std::optional<qint16>;
using MaybeBool = std::optional<bool>;

class SetupValueTest : public QObject {
    Q_OBJECT
  private slots:
    void conversions_data() {
        QTest::addColumn<SetupValue>("value");
        QTest::addColumn<MaybeInt>("int16");
        QTest::addColumn<MaybeBool>("boolean");
        QTest::addColumn<QString>("text");
        const auto number = SetupValue::number;
        const auto text = SetupValue::text;
        QTest::newRow("empty") << SetupValue() << MaybeInt(0) << MaybeBool(false) << "";
        QTest::newRow("true") << SetupValue::boolean(true) << MaybeInt(-1) << MaybeBool(true)
                              << "True";
        QTest::newRow("false") << SetupValue::boolean(false) << MaybeInt(0) << MaybeBool(false)
                               << "False";
        QTest::newRow("whole") << number(3) << MaybeInt(3) << MaybeBool(true) << "3";
        QTest::newRow("half to even, down")
            << number(2.5) << MaybeInt(2) << MaybeBool(true) << "2.5";
        QTest::newRow("half to even, up") << number(3.5) << MaybeInt(4) << MaybeBool(true) << "3.5";
        QTest::newRow("fraction") << number(0.6) << MaybeInt(1) << MaybeBool(true) << "0.6";
        QTest::newRow("top of range")
            << number(32767.4) << MaybeInt(32767) << MaybeBool(true) << "32767.4";
        QTest::newRow("rounds out of range")
            << number(32767.5) << MaybeInt() << MaybeBool(true) << "32767.5";
        QTest::newRow("bottom of range")
            << number(-32768.5) << MaybeInt(-32768) << MaybeBool(true) << "-32768.5";
        QTest::newRow("below range") << number(-32769) << MaybeInt() << MaybeBool(true) << "-32769";
        QTest::newRow("numeric text")
            << text(" 12.5 ") << MaybeInt(12) << MaybeBool(true) << " 12.5 ";
        QTest::newRow("exponent in text")
            << text("1e3") << MaybeInt(1000) << MaybeBool(true) << "1e3";
        QTest::newRow("text True") << text("true") << MaybeInt() << MaybeBool(true) << "true";
        QTest::newRow("word") << text("COM3") << MaybeInt() << MaybeBool() << "COM3";
        QTest::newRow("number then word") << text("12 kg") << MaybeInt() << MaybeBool() << "12 kg";
        QTest::newRow("empty text") << text("") << MaybeInt() << MaybeBool() << "";
        QTest::newRow("huge text number") << text("1e400") << MaybeInt() << MaybeBool() << "1e400";
    }
    void conversions() {
        QFETCH(SetupValue, value);
        QFETCH(MaybeInt, int16);
        QFETCH(MaybeBool, boolean);
        QFETCH(QString, text);
        QCOMPARE(toInt16(value), int16);
        QCOMPARE(toBoolean(value), boolean);
        QCOMPARE(toText(value), text);
    }

    void plainNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("integer") << "-500" << std::optional(-500.0);
        QTest::newRow("plus sign, point") << "+.5" << std::optional(0.5);
        QTest::newRow("trailing point") << "5." << std::optional(5.0);
        QTest::newRow("D exponent") << "2D2" << std::optional(200.0);
        QTest::newRow("lone point") << "." << std::optional<double>();
        QTest::newRow("exponent without digits") << "1e" << std::optional<double>();
        QTest::newRow("comma decimal") << "1,5" << std::optional<double>();
        QTest::newRow("infinity word") << "inf" << std::optional<double>();
    }
    void plainNumbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(readPlainNumber(text), expected);
    }
};

KT7_REGISTER_TEST(SetupValueTest)
#include "SetupValueTest.moc"
