#include "acquisition/ElapsedSeconds.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

using Seconds = QList<int>;

class ElapsedSecondsTest : public QObject {
    Q_OBJECT
  private slots:
    void steps_data() {
        QTest::addColumn<Seconds>("secondsOfMinute");
        QTest::addColumn<Seconds>("expectedSteps");
        QTest::newRow("first update counts from 0") << Seconds{17} << Seconds{17};
        QTest::newRow("one tick a second") << Seconds{0, 1, 2, 3} << Seconds{0, 1, 1, 1};
        QTest::newRow("two ticks in one second") << Seconds{5, 6, 6, 7} << Seconds{5, 1, 0, 1};
        QTest::newRow("late tick") << Seconds{5, 6, 8, 9} << Seconds{5, 1, 2, 1};
        QTest::newRow("minute roll-over") << Seconds{57, 58, 0, 1} << Seconds{57, 1, 2, 1};
        QTest::newRow("a 63-second pause counts 3") << Seconds{10, 11, 14} << Seconds{10, 1, 3};
        QTest::newRow("leap second held at 59") << Seconds{58, 59, 60, 0} << Seconds{58, 1, 0, 1};
    }
    void steps() {
        QFETCH(Seconds, secondsOfMinute);
        QFETCH(Seconds, expectedSteps);
        ElapsedSeconds elapsed;
        Seconds steps;
        for (int s : secondsOfMinute) {
            steps.append(elapsed.update(s));
            QCOMPARE(elapsed.secStep(), steps.back());
        }
        QCOMPARE(steps, expectedSteps);
    }

    void stampsAlternate() {
        ElapsedSeconds elapsed;
        elapsed.update(20);
        QCOMPARE(elapsed.secPhase(), 1);
        QCOMPARE(elapsed.secStampA(), 20);
        QCOMPARE(elapsed.secStampB(), 0);
        elapsed.update(22);
        QCOMPARE(elapsed.secPhase(), 0);
        QCOMPARE(elapsed.secStampA(), 20);
        QCOMPARE(elapsed.secStampB(), 22);
        elapsed.resetStep();
        QCOMPARE(elapsed.secStep(), 0);
        // A reset clears only the step: the next update still measures from the last stamp.
        QCOMPARE(elapsed.update(25), 3);
    }
};

KT7_REGISTER_TEST(ElapsedSecondsTest)
#include "ElapsedSecondsTest.moc"
