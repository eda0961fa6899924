#include "alarms/AlarmBoard.h"
#include "acquisition/SampleBlock.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

class AlarmBoardTest : public QObject {
    Q_OBJECT

  private slots:
    void listsUntilAcknowledged_data() {
        // "+2H": device 2 raises high (value 100 + step number), "-2H": it ends; "a0": a click on
        // entry 0, "a*": a click on the bar. The outcome: the entries, '~' marking an ended one,
        // then the devices in alarm and what each click removed.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("raised, ended, acknowledged") << "+1H -1H a0"
                                                     << "| | y";
        QTest::newRow("an active alarm stays") << "+1H a0 a*"
                                               << "1H@0 | 1 | n n";
        QTest::newRow("ended stays listed, the device is out of alarm") << "+1H +3L -1H"
                                                                        << "1H@2~ 3L@1 | 3 |";
        QTest::newRow("one entry per device and kind") << "+1H +1L -1H +1H"
                                                       << "1H@3 1L@1 | 1 |";
        QTest::newRow("a raise again before the click takes the ended entry") << "+2S -2S +2S a0"
                                                                              << "2S@2 | 2 | n";
        QTest::newRow("the bar acknowledges every ended one, the active one stays")
            << "+1H +2L +3H -1H -3H a* a*"
            << "2L@1 | 2 | y n";
        QTest::newRow("an end never raised here is listed ended") << "-4L a5 a0"
                                                                  << "| | n y";
    }
    void listsUntilAcknowledged() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        AlarmBoard board;
        QStringList clicks;
        const QStringList words = steps.split(u' ');
        for (qsizetype n = 0; n < words.size(); ++n) {
            const QString& word = words[n];
            if (word.startsWith(u'a')) {
                const bool removed = word == "a*" ? board.acknowledgeEnded()
                                                  : board.acknowledge(word.mid(1).toInt());
                clicks << (removed ? "y" : "n");
                continue;
            }
            AlarmEvent event;
            event.device = word[1].digitValue() - 1;
            event.kind = word[2] == u'H'   ? AlarmKind::High
                         : word[2] == u'L' ? AlarmKind::Low
                                           : AlarmKind::Silent;
            event.state = word[0] == u'+' ? AlarmState::Raised : AlarmState::Ended;
            event.value = 100.0 + static_cast<double>(n);
            board.take(event);
        }
        QStringList listed;
        for (const AlarmEvent& e : board.entries())
            listed << QStringLiteral("%1%2@%3%4")
                          .arg(e.device + 1)
                          .arg(QChar(alarmKindName(e.kind).front()).toUpper())
                          .arg(*e.value - 100)
                          .arg(e.state == AlarmState::Ended ? "~" : "");
        QStringList inAlarm;
        for (int d = 0; d < DeviceCount; ++d)
            if (board.inAlarm(d))
                inAlarm << QString::number(d + 1);
        QCOMPARE(QStringList({listed.join(u' '), inAlarm.join(u' '), clicks.join(u' ')})
                     .join(QStringLiteral(" | "))
                     .simplified(),
                 expected);
    }
};

KT7_REGISTER_TEST(AlarmBoardTest)
#include "AlarmBoardTest.moc"
