#include "SetupTestHelpers.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace kt7test;

Q_DECLARE_METATYPE(kt7test::StoredControls)

namespace {

StoredControls startState() {
    const char* limits[] = {"500", "500", "1000", "8000", "200", "60", "70", "80"};
    StoredControls s;
    s.interval = QStringLiteral("5");
    s.chartPoints = QStringLiteral("300");
    for (int i = 0; i < 8; ++i) {
        s.devices[i] = {Qt::Unchecked,
                        QString::fromLatin1(limits[i]),
                        QLatin1Char('-') + QString::fromLatin1(limits[i]),
                        1,
                        false,
                        QStringLiteral("Label %1").arg(i + 1)};
    }
    return s;
}

// The state written by hand into data/setup-unusual.kt7, for a machine with COM 1 and COM 3.
StoredControls unusualState() {
    StoredControls s = startState();
    s.autoSample = Qt::Checked;
    s.fast = true;
    s.sec = false;
    s.interval = QStringLiteral("2.5");
    s.chartPoints = QStringLiteral("1e3");
    s.devices[0].port = 3;
    s.devices[0].tare = true;
    s.devices[1] = {Qt::Checked, "750", "-250", 1, false, "Tank, north"};
    s.devices[6].yAuto = Qt::Checked;
    s.devices[6].port = 3;
    s.devices[6].tare = true;
    s.devices[7].label.clear();
    return s;
}

StoredControls quotedState() {
    StoredControls s = unusualState();
    s.interval = QStringLiteral("3 \"s\"");
    s.chartPoints = QStringLiteral("\"1e3\"");
    s.devices[2].yMax = QStringLiteral("9\"9");
    s.devices[3].label = QStringLiteral("He said \"hi\", then left");
    s.devices[4].label = QStringLiteral("\"");
    s.devices[5].label = QStringLiteral("\"\",\"\"");
    return s;
}

} // namespace

// Saving the window's set-up and loading it back, on the same window and on a fresh one.
class SetupRoundTripTest : public QObject {
    Q_OBJECT
  private slots:
    void savedBytesMatchTheHandWrittenFile() {
        const QString golden = QStringLiteral(KT7_TEST_DATA_DIR "/setup-unusual.kt7");
        QVERIFY2(QFile::exists(golden), qPrintable(golden));
        WindowFixture f({1, 3});
        writeControls(f, unusualState());
        QCOMPARE(firstDifference(readControls(f), unusualState()), QString());
        const QByteArray saved = saveThrough(f, f.desktop.logDir + "unusual.kt7");
        QCOMPARE(saved, readBytes(golden));
        QVERIFY(f.messages.shown.isEmpty());
    }

    void savedValuesLoadBackOnAFreshWindow_data() {
        QTest::addColumn<StoredControls>("state");
        QTest::addColumn<QByteArray>("savedPart");
        QTest::newRow("commas, Auto, Fast, tares")
            << unusualState() << QByteArray("\"Tank, north\"");
        QTest::newRow("double quotes in every kind of text")
            << quotedState()
            << QByteArray("\"3 \"\"s\"\"\",\"\"\"1e3\"\"\"\r\n"
                          "0,\"500\",\"-500\",3,1,\"Label 1\"\r\n");
    }

    void savedValuesLoadBackOnAFreshWindow() {
        QFETCH(StoredControls, state);
        QFETCH(QByteArray, savedPart);
        WindowFixture first({1, 3});
        writeControls(first, state);
        const QString path = first.desktop.logDir + "round trip.kt7";
        QVERIFY(saveThrough(first, path).contains(savedPart));

        WindowFixture fresh({1, 3});
        QVERIFY(firstDifference(readControls(fresh), state) != QString());
        loadThrough(fresh, path);
        QCOMPARE(firstDifference(readControls(fresh), state), QString());
        QCOMPARE(fresh.messages.shown, QStringList());
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!fresh.button("Ch_Link", i)->isChecked());
            QCOMPARE(fresh.window->devicePort(i).portNumber(), state.devices[i].port);
            // A tare switched on by loading takes the value shown now.
            const kt7::TareOffset tare = fresh.window->session().slot(i).tare;
            QCOMPARE(tare.isFloat(), state.devices[i].tare);
            if (tare.isFloat())
                QCOMPARE(tare.value(), 32000.0);
        }
    }

    void loadingIntoTheSameWindowLeavesLinksAlone() {
        WindowFixture f({1, 3});
        f.control<QComboBox>("CombMSCom", 6)->setCurrentIndex(1); // COM 3
        QVERIFY(f.link(2, deviceLine("12.5", "kg")));
        QVERIFY(f.link(6, deviceLine("-3", "N")));
        const StoredControls saved = readControls(f);
        const QString path = f.desktop.logDir + "links.kt7";
        saveThrough(f, path);

        f.control<QLineEdit>("TextLab", 2)->setText("changed");
        f.control<QLineEdit>("TextYMax", 6)->setText("1");
        loadThrough(f, path);
        QCOMPARE(firstDifference(readControls(f), saved), QString());
        for (int i = 0; i < 8; ++i)
            QCOMPARE(f.button("Ch_Link", i)->isChecked(), i == 2 || i == 6);
        QCOMPARE(f.button("Ch_Link", 2)->text(), QStringLiteral("Link On"));
        QVERIFY(f.window->devicePort(2).isOpen());
        QVERIFY(f.window->devicePort(6).isOpen());
        QCOMPARE(f.messages.shown, QStringList());
    }

    // "--setup FILE --link": the file loads as "Open Set Up File" loads it, then each device the
    // file gave a port is linked as its link button links it, with the same messages.
    void startingWithASetupLinksItsDevices() {
        WindowFixture f({1, 2, 3});
        QByteArray file = "0,#TRUE#,#FALSE#,\"5\",\"300\"\r\n";
        const int ports[8] = {1, 2, 3, 4, 0, 0, 0, 0}; // COM 4 does not exist
        for (int i = 0; i < 8; ++i)
            file += QStringLiteral("1,\"100\",\"-100\",%1,0,\"Demo %2\"\r\n")
                        .arg(ports[i])
                        .arg(i + 1)
                        .toLatin1();
        const QString path = f.desktop.logDir + "demo.kt7";
        QVERIFY(writeBytes(path, file));
        f.clock.onWait = [&f](int) {
            for (int port = 1; port <= 3; ++port)
                f.ports.send(port, deviceLine("1.5", "kg"));
        };
        f.window->startWithSetup(path, true);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(f.button("Ch_Link", i)->isChecked(), i < 3);
        QCOMPARE(f.control<QLineEdit>("TextLab", 2)->text(), QStringLiteral("Demo 3"));
        QCOMPARE(f.labelText("LabMSUnit", 1), QStringLiteral("kg"));
        QCOMPARE(f.messages.shown, QStringList{"Device 4 COM4 is Null"});
    }

    // Without any serial port no list has an entry: the file says 0, and 0 keeps the port.
    void emptyPortListSavesZeroWhichKeepsThePort() {
        WindowFixture bare({});
        const QString path = bare.desktop.logDir + "no ports.kt7";
        const QList<QByteArray> lines = saveThrough(bare, path).split('\n');
        QCOMPARE(lines.size(), 10); // nine lines and nothing after the last line end
        for (int i = 1; i <= 8; ++i)
            QCOMPARE(lines[i].split(',').value(3), QByteArray("0"));

        WindowFixture f({1, 3});
        f.control<QComboBox>("CombMSCom", 4)->setCurrentIndex(1);
        f.control<QLineEdit>("TextLab", 4)->setText("before");
        loadThrough(f, path);
        QCOMPARE(f.control<QComboBox>("CombMSCom", 4)->currentData().toInt(), 3);
        QCOMPARE(f.window->devicePort(4).portNumber(), 3);
        QCOMPARE(f.control<QLineEdit>("TextLab", 4)->text(), QStringLiteral("Label 5"));
        QCOMPARE(f.messages.shown, QStringList());
    }

    void dialogsOfferSetUpFilesInTheLogFolder() {
        WindowFixture f({1});
        saveThrough(f, f.desktop.logDir + "a.kt7");
        loadThrough(f, f.desktop.logDir + "a.kt7");
        QCOMPARE(f.dialogs.saveRequests.size(), size_t(1));
        QCOMPARE(f.dialogs.openRequests.size(), size_t(1));
        for (const kt7::FileDialogRequest& r :
             {f.dialogs.saveRequests[0], f.dialogs.openRequests[0]}) {
            QCOMPARE(r.filter, QStringLiteral("KT7 Set Up Files (*.kt7)|*.kt7"));
            QCOMPARE(r.initialFolder, f.desktop.logDir);
            QCOMPARE(r.defaultSuffix, QStringLiteral("csv"));
        }
    }

    void cancelledDialogsUseTheDefaultFile() {
        WindowFixture f({1, 3});
        const QString defaultFile = f.desktop.logDir + "KT7LogSetUp.kt7";
        // Cancelled open with no default file: nothing happens.
        f.control<QLineEdit>("TextLab", 0)->setText("saved label");
        f.button("ComSetFile", 0)->click();
        QCOMPARE(f.messages.shown, QStringList());
        QCOMPARE(f.control<QLineEdit>("TextLab", 0)->text(), QStringLiteral("saved label"));

        f.button("ComSetFile", 1)->click();
        QVERIFY(readBytes(defaultFile).contains("\"saved label\"\r\n"));
        f.control<QLineEdit>("TextLab", 0)->setText("other");
        f.button("ComSetFile", 0)->click();
        QCOMPARE(f.control<QLineEdit>("TextLab", 0)->text(), QStringLiteral("saved label"));
        QCOMPARE(f.messages.shown, QStringList());
    }

    void failedSaveNamesTheFileAndTheReason_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("nameIsAFolder");
        QTest::newRow("folder missing") << "no such folder/set.kt7" << false;
        QTest::newRow("name taken by a folder") << "taken.kt7" << true;
    }

    void failedSaveNamesTheFileAndTheReason() {
        QFETCH(QString, name);
        QFETCH(bool, nameIsAFolder);
        WindowFixture f({1});
        const QString path = f.desktop.logDir + name;
        if (nameIsAFolder)
            QVERIFY(QDir().mkpath(path));
        saveThrough(f, path);
        QCOMPARE(f.messages.shown.size(), 1);
        const QString message = f.messages.shown.first();
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        const QString reason = message.section(QStringLiteral(": "), -1).trimmed();
        QVERIFY2(!reason.isEmpty() && reason != QStringLiteral("Unknown error"),
                 qPrintable(message));
        QCOMPARE(QFileInfo::exists(path), nameIsAFolder);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList());
    }

    // A write that fails half-way (here: the process may write only 100 bytes per file) must
    // leave the previous set-up whole and report the failure.
    void failedWriteKeepsThePreviousFile() {
#ifdef Q_OS_UNIX
        WindowFixture f({1, 3});
        const QString path = f.desktop.logDir + "previous.kt7";
        const QByteArray previous = QByteArray(2000, 'p');
        QVERIFY(writeBytes(path, previous));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        f.dialogs.answers << path;
        f.button("ComSetFile", 1)->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(readBytes(path), previous);
        QCOMPARE(QDir(f.desktop.logDir).entryList(QDir::Files), QStringList{"previous.kt7"});
        QCOMPARE(f.messages.shown.size(), 1);
        const QString message = f.messages.shown.first();
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY2(message.endsWith(QStringLiteral(": File too large")), qPrintable(message));
#else
        QSKIP("needs a per-process file size limit");
#endif
    }
};

KT7_REGISTER_TEST(SetupRoundTripTest)
#include "SetupRoundTripTest.moc"
