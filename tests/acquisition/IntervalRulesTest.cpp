#include "acquisition/IntervalRules.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

class IntervalRulesTest : public QObject {
    Q_OBJECT
  private slots:
    // -1 stands for "no interval"; an empty expected text for "leave the text as typed".
    void rules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("5") << "5" << 5 << "";
        QTest::newRow("0") << "0" << -1 << "1";
        QTest::newRow("-3") << "-3" << -1 << "1";
        QTest::newRow("1") << "1" << 1 << "1";
        QTest::newRow("1.4 rounds to 1") << "1.4" << 1 << "1";
        QTest::newRow("0.5 ties to 0") << "0.5" << -1 << "1";
        QTest::newRow("1.5 ties to 2") << "1.5" << 2 << "";
        QTest::newRow("2.5 ties to 2") << "2.5" << 2 << "";
        QTest::newRow("3.5 ties to 4") << "3.5" << 4 << "";
        QTest::newRow("blanks and exponent") << " 1e1 " << 10 << "";
        QTest::newRow("largest") << "32767.4" << 32767 << "";
        QTest::newRow("beyond 16 bits") << "32767.5" << -1 << "";
        QTest::newRow("40000") << "40000" << -1 << "";
        QTest::newRow("beyond 32 bits") << "-1e20" << -1 << "";
        QTest::newRow("empty") << "" << -1 << "";
        QTest::newRow("abc") << "abc" << -1 << "";
        QTest::newRow("trailing letter") << "5s" << -1 << "";
    }
    void rules() {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        QFETCH(QString, normalised);
        QCOMPARE(intervalSeconds(text).value_or(-1), seconds);
        QCOMPARE(normalisedIntervalText(text).value_or(QString()), normalised);
    }
};

KT7_REGISTER_TEST(IntervalRulesTest)
#include "IntervalRulesTest.moc"
