#include "E2eSupport.h"
#include "RealPortsWindow.h"
#include "common/TestRegistry.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Port list, port test, link and a pulled cable, with the window on a simulated instrument.
class LinkAndPullOutTest : public QObject {
    Q_OBJECT

  private slots:
    void linkTestAndPullOut() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(e2e::makeDanglingPorts(home.path()));
        const e2e::HomeOverride isolated(home.path());
        e2e::Simulator simulator(home.path());
        QVERIFY2(simulator.start({"--devices", "1", "--first-port", "1", "--wave", "const",
                                  "--value", "12.5", "--unit", "kg", "--rate", "10"}),
                 qPrintable(simulator.output()));

        e2e::RealPortsWindow f(home.path());
        f.window->sampleTimer()->stop(); // the test decides when a tick runs
        QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join('\n')));

        // Only the simulator's port exists, and every device starts on it.
        for (int i = 0; i < 8; ++i) {
            const auto* list = f.control<QComboBox>(QStringLiteral("CombMSCom"), i);
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->itemText(0), QStringLiteral("COM 1"));
            QCOMPARE(list->currentIndex(), 0);
            QCOMPARE(f.window->devicePort(i).portNumber(), 1);
        }

        // Testing an unlinked slot reads the instrument and lets the port go again.
        QTest::mouseClick(f.button(QStringLiteral("ComTest"), 1), Qt::LeftButton);
        QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join('\n')));
        QCOMPARE(f.labelText(QStringLiteral("LabMSData"), 1), QStringLiteral("12.5"));
        QCOMPARE(f.labelText(QStringLiteral("LabMSUnit"), 1), QStringLiteral("kg"));
        QVERIFY(!f.window->devicePort(1).isOpen());
        QVERIFY(!f.button(QStringLiteral("Ch_Link"), 1)->isChecked());

        QAbstractButton* link = f.button(QStringLiteral("Ch_Link"), 0);
        link->setChecked(true);
        QVERIFY(link->isChecked());
        QCOMPARE(link->text(), QStringLiteral("Link On"));
        QVERIFY(f.window->devicePort(0).isOpen());
        QCOMPARE(f.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("12.5"));
        QCOMPARE(f.labelText(QStringLiteral("LabMSUnit"), 0), QStringLiteral("kg"));
        QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join('\n')));

        // The port now belongs to device 1: testing slot 1 names it and opens nothing.
        f.control<QLabel>(QStringLiteral("LabMSData"), 1)->setText(QStringLiteral("untouched"));
        QTest::mouseClick(f.button(QStringLiteral("ComTest"), 1), Qt::LeftButton);
        QCOMPARE(f.messages.shown,
                 QStringList{QStringLiteral("Communication Port is opened by Decice :  1")});
        QCOMPARE(f.labelText(QStringLiteral("LabMSData"), 1), QStringLiteral("untouched"));
        QVERIFY(!f.window->devicePort(1).isOpen());
        QVERIFY(f.window->devicePort(0).isOpen());
        f.messages.shown.clear();

        // The ticks read the linked instrument's stream.
        f.control<QLabel>(QStringLiteral("LabMSData"), 0)->setText(QStringLiteral("stale"));
        QTRY_COMPARE_WITH_TIMEOUT(
            (f.window->TimerRecAI_Timer(), f.labelText(QStringLiteral("LabMSData"), 0)),
            QStringLiteral("12.5"), 10000);
        QVERIFY(link->isChecked());

        // Pulling the cable: the instrument side of the line disappears.
        simulator.killNow();
        QTRY_VERIFY_WITH_TIMEOUT(!link->isChecked(), 15000);
        QCOMPARE(link->text(), QStringLiteral("Link Off"));
        QVERIFY(!f.window->devicePort(0).isOpen());
        // The broken line must be reported once, not once per error it keeps raising.
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            f.window->TimerRecAI_Timer();
        }
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY2(f.messages.shown.first().contains(QStringLiteral("Device 1")),
                 qPrintable(f.messages.shown.first()));
        QVERIFY(!f.button(QStringLiteral("Ch_Link"), 1)->isChecked());
    }
};

KT7_REGISTER_TEST(LinkAndPullOutTest)
#include "LinkAndPullOutTest.moc"
