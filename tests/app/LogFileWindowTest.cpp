#include "TickLogHelpers.h"
#include "common/TestRegistry.h"

#include <QDir>
#include <QTest>

using namespace kt7test;

namespace {

const QByteArray defaultHeader =
    "KT7,Data Logger,RS232,Vx1\r\n"
    ",,Label 1,Label 2,Label 3,Label 4,Label 5,Label 6,Label 7,Label 8\r\n"
    ",,unit,us,us,us,us,us,us,us\r\n";

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// One row on request, device 1 sending `value`.
void sampleOnce(LoggerBench& bench, const QByteArray& value = "1") {
    bench.manualSample()->setChecked(true);
    bench.send(0, value);
    bench.tick();
}

} // namespace

class LogFileWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void headerHoldsLabelsAndUnitsAsTheyStand() {
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0, "V"));
        QVERIFY(bench.linkDevice(3, "mm/s"));
        bench.fixture.control<QLineEdit>("TextLab", 1)->setText("Temp, inner");
        bench.fixture.control<QLineEdit>("TextLab", 7)->setText(QString());
        QVERIFY(bench.openLog(bench.path()));
        // The comma in label 2 shifts the later label columns; nothing is quoted.
        QCOMPARE(fileBytes(bench.path()),
                 QByteArray("KT7,Data Logger,RS232,Vx1\r\n"
                            ",,Label 1,Temp, inner,Label 3,Label 4,Label 5,Label 6,Label 7,\r\n"
                            ",,V,us,us,mm/s,us,us,us,us\r\n"));
        QVERIFY(!bench.frame("FrameCurVal")->isEnabled());
        QVERIFY(!bench.frame("FrameTare")->isEnabled());
    }

    void rowCells_data() {
        QTest::addColumn<QByteArray>("device1");
        QTest::addColumn<QByteArray>("device3"); // empty: device 3 sends nothing this tick
        QTest::addColumn<QByteArray>("cells");
        QTest::newRow("one device")
            << QByteArray("12.50") << QByteArray() << QByteArray("12.5,,,,,,,");
        QTest::newRow("negative and exponent")
            << QByteArray("-3") << QByteArray("0.000012") << QByteArray("-3,,1.2E-05,,,,,");
        QTest::newRow("fixed down to 1E-4")
            << QByteArray("0.00012") << QByteArray("3.0") << QByteArray("0.00012,,3,,,,,");
        QTest::newRow("large exponent")
            << QByteArray("1.5E+20") << QByteArray() << QByteArray("1.5E+20,,,,,,,");
    }
    void rowCells() {
        QFETCH(QByteArray, device1);
        QFETCH(QByteArray, device3);
        QFETCH(QByteArray, cells);
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        QVERIFY(bench.linkDevice(2));
        QVERIFY(bench.openLog(bench.path()));
        if (!device3.isEmpty())
            bench.send(2, device3);
        sampleOnce(bench, device1);
        QCOMPARE(fileLines(bench.path()).mid(3),
                 QList<QByteArray>{"1," + dateField(bench.now()) + ',' + cells});
        QCOMPARE(bench.samplesCaption(), QStringLiteral("1"));
    }

    void rowAtMidnightCarriesTheDateAlone() {
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        QVERIFY(bench.openLog(bench.path()));
        const QDateTime midnight(QDate(2026, 12, 8), QTime(0, 0));
        bench.fixture.clock.set(midnight.addMSecs(-1000));
        sampleOnce(bench, "12.5");
        const QList<QByteArray> fields = dataRows(bench.path()).value(0).split(',');
        QCOMPARE(fields.size(), 10);
        QCOMPARE(fields[1], dateField(midnight));
        // The same date one second later, without its time.
        QVERIFY(dateField(midnight.addSecs(1)).startsWith(fields[1] + ' '));
    }

    // "New" is ignored, the dialog is never shown, and the open log goes on.
    void newDoesNothing_data() {
        QTest::addColumn<bool>("logOpen");
        QTest::addColumn<int>("page");
        QTest::newRow("a log is open") << true << 2;
        QTest::newRow("Port Setting page") << false << 0;
        QTest::newRow("Link page") << false << 1;
    }
    void newDoesNothing() {
        QFETCH(bool, logOpen);
        QFETCH(int, page);
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        const QString first = bench.path(QStringLiteral("first.csv"));
        if (logOpen) {
            QVERIFY(bench.openLog(first));
            sampleOnce(bench);
        }
        bench.fixture.selectPage(page);
        const auto requests = bench.fixture.dialogs.saveRequests.size();
        const QString other = bench.path(QStringLiteral("other.csv"));
        bench.fixture.dialogs.answers << other;
        bench.window().ComFile_Click(0);

        QCOMPARE(bench.fixture.dialogs.saveRequests.size(), requests);
        QCOMPARE(bench.session().logFileName(), logOpen ? first : QString());
        QVERIFY(!QFile::exists(other));
        QVERIFY(!QFile::exists(bench.defaultLogPath()));
        QCOMPARE(bench.fixture.messages.shown, QStringList());
        if (logOpen) {
            sampleOnce(bench);
            QCOMPARE(dataRows(first).size(), 2);
            QCOMPARE(dataRows(first).back().left(2), QByteArray("2,"));
        }
    }

    void closeThenNewRestartsAtOne() {
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        bench.autoSample()->setChecked(true);
        bench.pressClose(); // no log: still unchecks Auto Sample, marks the closed state
        QVERIFY(!bench.autoSample()->isChecked());
        QVERIFY(bench.session().logFileName().isEmpty());
        QVERIFY(isWhite(bench.closeButton()));

        const QString first = bench.path(QStringLiteral("first.csv"));
        QVERIFY(bench.openLog(first));
        QVERIFY(isWhite(bench.newButton()));
        QVERIFY(isButtonFace(bench.closeButton()));
        sampleOnce(bench, "1");
        sampleOnce(bench, "2");
        bench.autoSample()->setChecked(true);
        bench.pressClose();
        QVERIFY(bench.session().logFileName().isEmpty());
        QVERIFY(!bench.autoSample()->isChecked());
        QCOMPARE(bench.samplesCaption(), QStringLiteral("2"));
        QVERIFY(isButtonFace(bench.newButton()));
        QVERIFY(isWhite(bench.closeButton()));
        QVERIFY(bench.frame("FrameCurVal")->isEnabled());
        QVERIFY(bench.frame("FrameTare")->isEnabled());
        const QByteArray firstLog = fileBytes(first);
        QCOMPARE(fileLines(first).size(), 5);

        sampleOnce(bench, "3"); // no log: the request waits, nothing is written anywhere
        QCOMPARE(fileBytes(first), firstLog);

        const QString second = bench.path(QStringLiteral("second.csv"));
        QVERIFY(bench.openLog(second));
        QCOMPARE(bench.samplesCaption(), QStringLiteral("0"));
        QCOMPARE(fileLines(second).value(2), QByteArray(",,V,us,us,us,us,us,us,us"));
        sampleOnce(bench, "4");
        QCOMPARE(dataRows(second), QList<QByteArray>{"1," + dateField(bench.now()) + ",4,,,,,,,"});
        QCOMPARE(fileBytes(first), firstLog);
    }

    // Cancelling the dialog starts the default log unless that file already holds data.
    void cancelledDialog_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("starts");
        QTest::newRow("default file missing") << false << QByteArray() << true;
        QTest::newRow("default file empty") << true << QByteArray() << true;
        QTest::newRow("default file holds data") << true << QByteArray("1,x,5,,,,,,,\r\n") << false;
    }
    void cancelledDialog() {
        QFETCH(bool, exists);
        QFETCH(QByteArray, contents);
        QFETCH(bool, starts);
        LoggerBench bench;
        const QString path = bench.defaultLogPath();
        if (exists)
            writeFile(path, contents);
        bench.pressNew(QString());

        QCOMPARE(bench.fixture.dialogs.saveRequests.size(), std::size_t(1));
        const kt7::FileDialogRequest& request = bench.fixture.dialogs.saveRequests[0];
        QCOMPARE(request.filter, QStringLiteral("CSV Files (*.csv)|*.csv"));
        QCOMPARE(request.initialFolder, bench.fixture.desktop.logDir);
        QCOMPARE(request.defaultSuffix, QStringLiteral("csv"));
        if (starts) {
            QCOMPARE(bench.session().logFileName(), path);
            QCOMPARE(fileBytes(path), defaultHeader);
            QCOMPARE(bench.fixture.messages.shown, QStringList());
            QVERIFY(isWhite(bench.newButton()));
            return;
        }
        QVERIFY(bench.session().logFileName().isEmpty());
        QCOMPARE(fileBytes(path), contents);
        QCOMPARE(bench.fixture.messages.shown.size(), 1);
        QVERIFY(bench.fixture.messages.shown[0].contains(QDir::toNativeSeparators(path)));
        QVERIFY(isButtonFace(bench.newButton()));
        QVERIFY(isButtonFace(bench.closeButton()));
        QVERIFY(bench.frame("FrameCurVal")->isEnabled());
        QVERIFY(bench.linkDevice(0));
        sampleOnce(bench);
        QCOMPARE(fileBytes(path), contents);
    }

    void chosenExistingFileIsEmptied() {
        LoggerBench bench;
        const QString path = bench.path(QStringLiteral("old.csv"));
        writeFile(path, QByteArray(5000, 'x') + "\r\n7,old row,1,,,,,,,\r\n");
        QVERIFY(bench.linkDevice(0));
        QVERIFY(bench.openLog(path));
        QCOMPARE(bench.samplesCaption(), QStringLiteral("0"));
        sampleOnce(bench, "8");
        QCOMPARE(dataRows(path), QList<QByteArray>{"1," + dateField(bench.now()) + ",8,,,,,,,"});
        QCOMPARE(fileLines(path).size(), 4);
    }
};

KT7_REGISTER_TEST(LogFileWindowTest)
#include "LogFileWindowTest.moc"
