#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QFileInfo>
#include <QTest>

using namespace kt7test;

namespace {
const QString Busy = QStringLiteral("Communication Port is opened by Decice : ") + QLatin1Char(' ');

void choosePort(WindowFixture& fixture, int device, int port) {
    auto* list = fixture.control<QComboBox>(QStringLiteral("CombMSCom"), device);
    list->setCurrentIndex(list->findData(port));
}
} // namespace

// Port choice, link, port test and tare as the user drives them.
class PortHandlersTest : public QObject {
    Q_OBJECT
  private slots:
    void linkShowsTheLatestReading_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        const QByteArray two = deviceLine("32000.0", "us") + deviceLine("32001.5", "us");
        QTest::newRow("two lines and a partial one") << two + "320" << true << "32001.5"
                                                     << "us";
        QTest::newRow("tail of a line begun earlier")
            << QByteArray("34 kg      \r\n12") << true << "34"
            << "kg";
        QTest::newRow("two blanks give an empty unit")
            << QByteArray("12.3  kg\r\n") << true << "12.3"
            << "";
        QTest::newRow("nothing received") << QByteArray() << false << "32000.0"
                                          << "unit";
        QTest::newRow("no carriage return") << QByteArray("12.5 kg") << false << "32000.0"
                                            << "unit";
        QTest::newRow("line starts with a blank")
            << QByteArray(" 12.5 kg\r\n") << false << "32000.0"
            << "unit";
        QTest::newRow("line without a blank") << QByteArray("12.5kg\r\n") << false << "32000.0"
                                              << "unit";
    }
    void linkShowsTheLatestReading() {
        QFETCH(QByteArray, received);
        QFETCH(bool, linked);
        QFETCH(QString, value);
        QFETCH(QString, unit);
        WindowFixture fixture;
        QCOMPARE(fixture.link(0, received), linked);
        QCOMPARE(fixture.button(QStringLiteral("Ch_Link"), 0)->text(),
                 linked ? "Link On" : "Link Off");
        QCOMPARE(fixture.window->devicePort(0).isOpen(), linked);
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), value);
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSUnit"), 0), unit);
        QCOMPARE(fixture.clock.waits, std::vector<int>{600});
        QVERIFY(fixture.messages.shown.isEmpty()); // a failed link is silent
    }

    void unlinkClosesThePortAndKeepsTheLabels() {
        WindowFixture fixture;
        QVERIFY(fixture.link(0, deviceLine("7.25", "bar")));
        fixture.button(QStringLiteral("Ch_Link"), 0)->setChecked(false);
        QCOMPARE(fixture.button(QStringLiteral("Ch_Link"), 0)->text(), QStringLiteral("Link Off"));
        QVERIFY(!fixture.window->devicePort(0).isOpen());
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("7.25"));
    }

    void secondDeviceOnALinkedPortIsRefused() {
        WindowFixture fixture({1, 2});
        choosePort(fixture, 0, 2);
        choosePort(fixture, 5, 2);
        QVERIFY(fixture.link(5, deviceLine("1", "kg")));
        const int attempts = fixture.ports.openAttempts(2);
        bool boxDownWhenTold = true;
        fixture.messages.duringMessage = [&] {
            boxDownWhenTold = fixture.button(QStringLiteral("Ch_Link"), 0)->isChecked();
        };
        QVERIFY(!fixture.link(0, deviceLine("1", "kg")));
        QCOMPARE(fixture.messages.shown, QStringList{Busy + "6"});
        QVERIFY(!boxDownWhenTold); // released before the message
        QCOMPARE(fixture.button(QStringLiteral("Ch_Link"), 0)->text(), QStringLiteral("Link Off"));
        QVERIFY(fixture.window->devicePort(5).isOpen());
        QCOMPARE(fixture.ports.openAttempts(2), attempts); // the refused device left the port alone
    }

    void portThatCannotBeOpenedEndsOffWithAMessage_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("permission") << int(kt7::PortOpenError::PermissionDenied) << "dialout";
        QTest::newRow("held elsewhere") << int(kt7::PortOpenError::Busy) << "another program";
        QTest::newRow("gone") << int(kt7::PortOpenError::NotFound) << "No such";
    }
    void portThatCannotBeOpenedEndsOffWithAMessage() {
        QFETCH(int, error);
        QFETCH(QString, mentions);
        WindowFixture fixture({1, 3});
        choosePort(fixture, 2, 3);
        fixture.ports.setOpenError(3, kt7::PortOpenError(error), QStringLiteral("No such thing"));
        QVERIFY(!fixture.link(2, deviceLine("1", "kg")));
        QCOMPARE(fixture.button(QStringLiteral("Ch_Link"), 2)->text(), QStringLiteral("Link Off"));
        QVERIFY(!fixture.window->devicePort(2).isOpen());
        QCOMPARE(fixture.messages.shown.size(), 1);
        const QString message = fixture.messages.shown[0];
        QVERIFY2(message.contains("COM 3") && message.contains("/dev/fake3") &&
                     message.contains(mentions),
                 qPrintable(message));

        // The port test ends with the port closed and says why as well.
        fixture.button(QStringLiteral("ComTest"), 2)->click();
        QCOMPARE(fixture.messages.shown.size(), 2);
        QVERIFY(fixture.messages.shown[1].contains("COM 3"));
        QVERIFY(!fixture.window->devicePort(2).isOpen());
    }

    void choosingAnotherPortUnlinksFirst() {
        WindowFixture fixture({1, 2});
        QVERIFY(fixture.link(0, deviceLine("1", "kg")));
        const int attempts = fixture.ports.openAttempts(2);
        choosePort(fixture, 0, 2);
        QVERIFY(!fixture.button(QStringLiteral("Ch_Link"), 0)->isChecked());
        QCOMPARE(fixture.button(QStringLiteral("Ch_Link"), 0)->text(), QStringLiteral("Link Off"));
        QVERIFY(!fixture.window->devicePort(0).isOpen());
        QCOMPARE(fixture.window->devicePort(0).portNumber(), 2);
        QCOMPARE(fixture.ports.openAttempts(2), attempts); // choosing a port never opens it
    }

    void brokenPortWaitsAndRelinksOnlyItsDevice() {
        WindowFixture fixture({1, 2});
        choosePort(fixture, 1, 2);
        QVERIFY(fixture.link(0, deviceLine("1", "kg")));
        QVERIFY(fixture.link(1, deviceLine("2", "kg")));
        QAbstractButton* link = fixture.button(QStringLiteral("Ch_Link"), 0);
        fixture.ports.send(1, deviceLine("1.25", "kg") + deviceLine("1.5", "kg"));
        fixture.ports.breakPort(1);
        fixture.ports.removePort(1);
        QTRY_COMPARE(link->text(), QStringLiteral("Link Waiting"));
        // What the port had received before it broke still reaches the next tick's rows.
        const qsizetype points = fixture.window->chart()->pointCount(1);
        fixture.window->TimerRecAI_Timer();
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("1.5"));
        QCOMPARE(fixture.window->chart()->pointCount(1), points + 2);
        QVERIFY(link->isChecked()); // still wanted: no other device may take the port meanwhile
        QVERIFY(!fixture.window->devicePort(0).isOpen());
        QCOMPARE(fixture.messages.shown.size(), 1);
        QVERIFY(fixture.messages.shown[0].contains("Device 1") &&
                fixture.messages.shown[0].contains("linked again when the port returns"));
        QVERIFY(fixture.button(QStringLiteral("Ch_Link"), 1)->isChecked());

        // Absent: each round looks quietly. Back, but the instrument is silent: tried again only
        // after a pause.
        fixture.window->TimerRelink_Timer();
        fixture.ports.addPort(1);
        const int attempts = fixture.ports.openAttempts(1);
        for (int round = 0; round < 5; ++round)
            fixture.window->TimerRelink_Timer();
        QCOMPARE(fixture.ports.openAttempts(1), attempts + 1);
        QVERIFY(!fixture.window->devicePort(0).isOpen());
        // Speaking again: linked as the link button does it, with no new message.
        fixture.ports.sendDuringWait(1, deviceLine("4.5", "kg"));
        fixture.window->TimerRelink_Timer();
        QCOMPARE(link->text(), QStringLiteral("Link On"));
        QVERIFY(fixture.window->devicePort(0).isOpen());
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("4.5"));
        fixture.ports.send(1, deviceLine("4.75", "kg"));
        fixture.window->TimerRecAI_Timer();
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("4.75"));
        fixture.window->TimerRelink_Timer();
        QVERIFY(!fixture.window->relinkTimer()->isActive());

        // A port that drops out again waits again without another box.
        fixture.ports.breakPort(1);
        QTRY_COMPARE(link->text(), QStringLiteral("Link Waiting"));
        QCOMPARE(fixture.messages.shown.size(), 1);
    }

    void userEndsTheWait_data() {
        QTest::addColumn<bool>("unlink"); // else: choose another port
        QTest::newRow("unlinking by hand") << true;
        QTest::newRow("choosing another port") << false;
    }
    void userEndsTheWait() {
        QFETCH(bool, unlink);
        WindowFixture fixture({1, 2});
        QVERIFY(fixture.link(0, deviceLine("1", "kg")));
        fixture.ports.breakPort(1);
        QAbstractButton* link = fixture.button(QStringLiteral("Ch_Link"), 0);
        QTRY_COMPARE(link->text(), QStringLiteral("Link Waiting"));
        if (unlink)
            link->setChecked(false);
        else
            choosePort(fixture, 0, 2);
        QCOMPARE(link->text(), QStringLiteral("Link Off"));
        const int attempts = fixture.ports.totalOpenAttempts();
        fixture.window->TimerRelink_Timer();
        QCOMPARE(fixture.ports.totalOpenAttempts(), attempts);
        QVERIFY(!link->isChecked() && !fixture.window->relinkTimer()->isActive());
    }

    void openingAListFindsPortsPluggedInSince() {
        WindowFixture fixture({1, 2});
        fixture.catalogue.folder = fixture.home.path() + QStringLiteral("/ports");
        fixture.catalogue.ports = {{QStringLiteral("/dev/fake3"), QString(),
                                    QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
                                    QStringLiteral("A1")}};
        choosePort(fixture, 2, 2);
        fixture.ports.addPort(3);
        fixture.ports.removePort(2);
        auto* opened = fixture.control<QComboBox>(QStringLiteral("CombMSCom"), 5);
        opened->showPopup();
        opened->hidePopup();
        // The port is given a number, since it had none.
        QCOMPARE(QFileInfo(fixture.catalogue.folder + "/com1").symLinkTarget(), "/dev/fake3");
        const auto entries = [&](int device) {
            const auto* list = fixture.control<QComboBox>(QStringLiteral("CombMSCom"), device);
            QStringList texts;
            for (int e = 0; e < list->count(); ++e)
                texts.append(list->itemText(e));
            return texts.join(',') + " chosen " + list->currentText();
        };
        QCOMPARE(entries(0), QStringLiteral("COM 1,COM 3 chosen COM 1"));
        QCOMPARE(entries(2), QStringLiteral("COM 1,COM 2,COM 3 chosen COM 2")); // gone, but chosen
        QCOMPARE(fixture.window->devicePort(2).portNumber(), 2);
        const auto* list = fixture.control<QComboBox>(QStringLiteral("CombMSCom"), 0);
        const QString tip = list->itemData(1, Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains("/dev/fake3") && tip.contains("FT232R USB UART") &&
                     tip.contains("FTDI") && tip.contains("A1"),
                 qPrintable(tip));
    }

    void portTest_data() {
        QTest::addColumn<int>("linkedDevice"); // -1: none
        QTest::addColumn<int>("tested");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("value");
        QTest::newRow("reading") << -1 << 4 << deviceLine("-3.5", "mV") << ""
                                 << "-3.5";
        QTest::newRow("silent device") << -1 << 4 << QByteArray() << "Com Port Test False"
                                       << "32000.0";
        QTest::newRow("other slot owns the port") << 2 << 4 << QByteArray() << Busy + "3"
                                                  << "32000.0";
        QTest::newRow("linked slot names itself") << 4 << 4 << QByteArray() << Busy + "5"
                                                  << "1";
    }
    void portTest() {
        QFETCH(int, linkedDevice);
        QFETCH(int, tested);
        QFETCH(QByteArray, received);
        QFETCH(QString, message);
        QFETCH(QString, value);
        WindowFixture fixture({1});
        if (linkedDevice >= 0)
            QVERIFY(fixture.link(linkedDevice, deviceLine("1", "kg")));
        const bool wasOpen = fixture.window->devicePort(tested).isOpen();
        fixture.ports.sendDuringWait(1, received);
        fixture.button(QStringLiteral("ComTest"), tested)->click();
        QCOMPARE(fixture.messages.shown, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), tested), value);
        QCOMPARE(fixture.window->devicePort(tested).isOpen(), wasOpen);
        QCOMPARE(fixture.button(QStringLiteral("Ch_Link"), tested)->isChecked(),
                 linkedDevice == tested);
    }

    void tareCapturesTheShownValue_data() {
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("offset");
        QTest::newRow("start-up text") << 0 << "32000.0" << 32000.0;
        QTest::newRow("no leading number") << 7 << "n/a" << 0.0;
        QTest::newRow("number and unit") << 3 << "12.5 kg" << 12.5;
    }
    void tareCapturesTheShownValue() {
        QFETCH(int, device);
        QFETCH(QString, shown);
        QFETCH(double, offset);
        WindowFixture fixture;
        fixture.control<QLabel>(QStringLiteral("LabMSData"), device)->setText(shown);
        auto* tare = fixture.button(QStringLiteral("Tare"), device);
        const QString n = QString::number(device + 1);
        tare->setChecked(true);
        QCOMPARE(tare->text(), "Tare On  Device " + n);
        QVERIFY(fixture.window->session().slot(device).tare.isFloat());
        QCOMPARE(fixture.window->session().slot(device).tare.value(), offset);
        tare->setChecked(false);
        QCOMPARE(tare->text(), "Tare Off Device " + n);
        QCOMPARE(fixture.window->session().slot(device).tare, kt7::TareOffset::zero());
    }

    void staleTextFromBeforeAnUnlinkIsDropped() {
        WindowFixture fixture;
        QVERIFY(fixture.link(0, deviceLine("1", "kg")));
        fixture.ports.send(1, "99999 k"); // a line cut off by the unlink
        fixture.window->TimerRecAI_Timer();
        fixture.button(QStringLiteral("Ch_Link"), 0)->setChecked(false);
        QVERIFY(fixture.link(0, deviceLine("2", "kg")));
        fixture.ports.send(1, deviceLine("3", "kg"));
        fixture.window->TimerRecAI_Timer();
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("3"));
        QCOMPARE(fixture.window->chart()->pointCount(1), 1);
    }

    void readingsAfterALinkAreWholeLinesLessTare() {
        WindowFixture fixture;
        // The link's read ends inside the next line, which still arrives whole.
        QVERIFY(fixture.link(0, deviceLine("0.5", "kg") + "12."));
        fixture.button(QStringLiteral("Tare"), 0)->setChecked(true);
        fixture.ports.send(1, "5 kg      \r\n" + deviceLine("12.34", "kg"));
        fixture.window->TimerRecAI_Timer();
        QCOMPARE(fixture.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("11.84"));
        QCOMPARE(fixture.window->chart()->pointCount(1), 2);
    }
};

KT7_REGISTER_TEST(PortHandlersTest)
#include "PortHandlersTest.moc"
