#include "SetupTestHelpers.h"
#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QDir>
#include <QTest>

using namespace kt7test;

namespace {

constexpr int XAxis = 1;
int yAxis(int device) {
    return device + 2;
}

const QByteArray baseGeneral = "1,#TRUE#,#FALSE#,\"7\",\"120\"";

QByteArray baseDevice(int i) {
    const QByteArray n = QByteArray::number(i + 1);
    return "1,\"9" + n + "\",\"-9" + n + "\",3,1,\"Base " + n + '"';
}

// Nine lines whose every value differs from the window's start state.
QByteArray fileOf(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

QList<QByteArray> baseLines() {
    QList<QByteArray> lines{baseGeneral};
    for (int i = 0; i < 8; ++i)
        lines << baseDevice(i);
    return lines;
}

QList<QByteArray> withLine(int index, const QByteArray& line) {
    QList<QByteArray> lines = baseLines();
    lines[index] = line;
    return lines;
}

QByteArray garbage() {
    QByteArray out;
    quint32 seed = 12345;
    for (int i = 0; i < 65536; ++i) {
        seed = seed * 1103515245u + 12345u;
        out += char(seed >> 23);
    }
    return out;
}

// Entry names are "line 1", "Device n" (a whole line) or one control such as "Device 2 Tare".
bool isKept(const QString& entry, const QStringList& kept) {
    const QString name = entry.section(QLatin1Char('='), 0, 0);
    for (const QString& k : kept) {
        if (name == k || name.startsWith(k + QLatin1Char(' ')))
            return true;
        if (k == QStringLiteral("line 1") && !name.startsWith(QStringLiteral("Device ")))
            return true;
    }
    return false;
}

QStringList devicesFrom(int first) {
    QStringList out;
    for (int n = first; n <= 8; ++n)
        out << QStringLiteral("Device %1").arg(n);
    return out;
}

const QStringList everything = QStringList{"line 1"} + devicesFrom(1);

} // namespace

// Loading a set-up file: each value goes through its control's own reaction, and a file that is
// short, broken or hostile restores what it can and leaves the rest as it was.
class SetupLoadTest : public QObject {
    Q_OBJECT
  private slots:
    void loadReactsAsTheUserWould() {
        WindowFixture f({1, 3});
        QVERIFY(f.link(1, deviceLine("12.5", "kg")));
        kt7::ChartComponent* chart = f.window->chart();
        QList<QByteArray> lines{
            "0,#FALSE#,#TRUE#,\"5\",\"50\"",        "0,\"100\",\"-100\",1,0,\"Label 1\"",
            "0,\"500\",\"-500\",1,1,\"Label 2\"",   "0,\"1000\",\"-1000\",1,0,\"Label 3\"",
            "0,\"8000\",\"-8000\",1,0,\"Label 4\"", "1,\"300\",\"-300\",1,0,\"Label 5\"",
            "0,\"60\",\"-60\",1,0,\"Label 6\"",     "0,\"70\",\"-70\",1,0,\"Label 7\"",
            "0,\"80\",\"-80\",1,1,\"Label 8\""};
        const QString path = f.desktop.logDir + "reactions.kt7";
        QVERIFY(writeBytes(path, fileOf(lines)));
        loadThrough(f, path);

        QCOMPARE(f.messages.shown, QStringList());
        // New limit texts reach the axis; texts equal to the current ones change nothing.
        QCOMPARE(chart->axisMaximum(yAxis(0)), 100.0);
        QCOMPARE(chart->axisMinimum(yAxis(0)), -100.0);
        QCOMPARE(chart->axisMaximum(yAxis(3)), 800.0);
        QCOMPARE(chart->axisMinimum(yAxis(3)), -800.0);
        // Auto comes before the limits, so the new texts of device 5 are not applied.
        QVERIFY(f.control<QCheckBox>("ChY_Auto", 4)->isChecked());
        QCOMPARE(f.control<QLineEdit>("TextYMax", 4)->text(), QStringLiteral("300"));
        QCOMPARE(chart->axisMaximum(yAxis(4)), 2000.0);
        QCOMPARE(chart->axisMinimum(yAxis(4)), -2000.0);
        // A tare switched on by the file takes the value each device shows now.
        QCOMPARE(f.button("Tare", 1)->text(), QStringLiteral("Tare On  Device 2"));
        QCOMPARE(f.window->session().slot(1).tare, kt7::TareOffset::of(12.5));
        QCOMPARE(f.button("Tare", 7)->text(), QStringLiteral("Tare On  Device 8"));
        QCOMPARE(f.window->session().slot(7).tare, kt7::TareOffset::of(32000));
        QCOMPARE(f.button("Tare", 0)->text(), QStringLiteral("Tare Off Device 1"));
        // The same port keeps the link; the X-points text waits for Enter.
        QVERIFY(f.button("Ch_Link", 1)->isChecked());
        QCOMPARE(f.control<QLineEdit>("Text_Chart_Pts")->text(), QStringLiteral("50"));
        QCOMPARE(chart->axisMinimum(XAxis), 0.0);
        QCOMPARE(chart->axisMaximum(XAxis), 400.0);
    }

    void portField_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("missing"); // what follows "COM" in the message, if any
        QTest::newRow("listed port") << QByteArray("3") << 3 << QString();
        QTest::newRow("fraction rounds to a listed port") << QByteArray("2.6") << 3 << QString();
        QTest::newRow("port that does not exist") << QByteArray("4") << 1 << QStringLiteral("4");
        QTest::newRow("half rounds to even 4") << QByteArray("3.5") << 1 << QStringLiteral("3.5");
        QTest::newRow("negative") << QByteArray("-3") << 1 << QStringLiteral("-3");
        QTest::newRow("no port saved") << QByteArray("0") << 1 << QString();
    }

    void portField() {
        QFETCH(QByteArray, field);
        QFETCH(int, port);
        QFETCH(QString, missing);
        WindowFixture f({1, 3});
        QList<QByteArray> lines{"0,#FALSE#,#TRUE#,\"5\",\"300\""};
        for (int i = 0; i < 8; ++i)
            lines << "0,\"500\",\"-500\"," + field + ",0,\"L" + QByteArray::number(i) + '"';
        const QString path = f.desktop.logDir + "ports.kt7";
        QVERIFY(writeBytes(path, fileOf(lines)));
        loadThrough(f, path);

        QStringList expected;
        for (int i = 0; i < 8; ++i) {
            if (!missing.isEmpty())
                expected << QStringLiteral("Device %1 COM%2 is Null").arg(i + 1).arg(missing);
            QCOMPARE(f.control<QComboBox>("CombMSCom", i)->currentData().toInt(), port);
            QCOMPARE(f.window->devicePort(i).portNumber(), port);
            // The port comes last and fails alone: the label before it is restored.
            QCOMPARE(f.control<QLineEdit>("TextLab", i)->text(), QStringLiteral("L%1").arg(i));
        }
        QCOMPARE(f.messages.shown, expected);
    }

    void linkedDeviceIsUnlinkedBeforeItsPortChanges() {
        WindowFixture f({1, 3});
        QVERIFY(f.link(0, deviceLine("7", "kg")));
        const QString path = f.desktop.logDir + "move.kt7";
        QVERIFY(writeBytes(path, fileOf(withLine(1, "0,\"500\",\"-500\",3,0,\"Label 1\""))));
        loadThrough(f, path);
        QVERIFY(!f.button("Ch_Link", 0)->isChecked());
        QCOMPARE(f.button("Ch_Link", 0)->text(), QStringLiteral("Link Off"));
        QVERIFY(!f.window->devicePort(0).isOpen());
        QCOMPARE(f.window->devicePort(0).portNumber(), 3);
        QVERIFY(f.ports.openPortOn(1) == nullptr);
        QCOMPARE(f.messages.shown, QStringList());
    }

    void malformedFiles_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("reported");
        const QByteArray tenMB(10 * 1024 * 1024, 'x');
        const QByteArray devices = fileOf(baseLines().mid(1));
        QTest::newRow("missing file") << false << QByteArray() << everything << true;
        QTest::newRow("empty file") << true << QByteArray() << everything << true;
        QTest::newRow("cut inside a text of line 1")
            << true << QByteArray("1,#TRUE#,#FALSE#,\"7") << everything << true;
        QTest::newRow("garbage bytes") << true << garbage() << everything << true;
        QTest::newRow("10 MB first line") << true << tenMB + "\r\n" + devices << everything << true;
        QTest::newRow("10 MB text never closed")
            << true << "0,#FALSE#,#TRUE#,\"" + tenMB << everything << true;
        QTest::newRow("auto sample beyond 16 bits")
            << true << fileOf(withLine(0, "70000,#TRUE#,#FALSE#,\"7\",\"120\"")) << everything
            << true;
        QTest::newRow("Fast neither true nor false")
            << true << fileOf(withLine(0, "0,#MAYBE#,#FALSE#,\"7\",\"120\"")) << everything << true;
        QTest::newRow("three lines")
            << true << fileOf(baseLines().mid(0, 3)) << devicesFrom(3) << false;
        QTest::newRow("file ends inside device 3's label")
            << true << fileOf(baseLines().mid(0, 3)) + "1,\"93\",\"-93\",3,1,\"Ba" << devicesFrom(3)
            << false;
        QTest::newRow("device 4 quote never closed")
            << true << fileOf(withLine(4, "1,\"94,3,1,Base 4")) << QStringList{"Device 4"} << false;
        QTest::newRow("device 6 with seven fields")
            << true << fileOf(withLine(6, baseDevice(5) + ",1")) << QStringList{"Device 6"}
            << false;
        QTest::newRow("device 2 line empty")
            << true << fileOf(withLine(2, "")) << QStringList{"Device 2"} << false;
        QTest::newRow("10 MB device 5 line")
            << true << fileOf(withLine(5, tenMB)) << QStringList{"Device 5"} << false;
        QTest::newRow("device 2 numbers beyond 16 bits")
            << true << fileOf(withLine(2, "40000,\"92\",\"-92\",70000,-40000,\"Base 2\""))
            << QStringList{"Device 2 ChY_Auto", "Device 2 Port", "Device 2 Tare"} << false;
        QTest::newRow("device 3 fields of other kinds")
            << true << fileOf(withLine(3, "1,93,-93,\"3\",#TRUE#,Base 3"))
            << QStringList{"Device 3 Tare"} << false;
        QTest::newRow("LF line ends, last line unended")
            << true << fileOf(baseLines(), "\n").chopped(1) << QStringList() << false;
        QTest::newRow("a tenth line")
            << true << fileOf(baseLines() << "junk,\"") << QStringList() << false;
    }

    // Every control ends either restored from the file or as it was, as the row says.
    void malformedFiles() {
        QFETCH(bool, exists);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, kept);
        QFETCH(bool, reported);
        WindowFixture f({1, 3});
        const QString path = f.desktop.logDir + "malformed.kt7";
        if (exists)
            QVERIFY(writeBytes(path, bytes));
        const QStringList before = readControls(f).entries();
        loadThrough(f, path);

        const QStringList after = readControls(f).entries();
        WindowFixture reference({1, 3});
        const QString basePath = reference.desktop.logDir + "base.kt7";
        QVERIFY(writeBytes(basePath, fileOf(baseLines())));
        loadThrough(reference, basePath);
        const QStringList restored = readControls(reference).entries();
        for (qsizetype i = 0; i < after.size(); ++i) {
            QVERIFY2(before[i] != restored[i], qPrintable(before[i]));
            QCOMPARE(after[i], isKept(before[i], kept) ? before[i] : restored[i]);
        }
        if (reported) {
            QCOMPARE(f.messages.shown.size(), 1);
            QVERIFY2(f.messages.shown.first().contains(QDir::toNativeSeparators(path)),
                     qPrintable(f.messages.shown.first()));
        } else {
            QCOMPARE(f.messages.shown, QStringList());
        }
    }
};

KT7_REGISTER_TEST(SetupLoadTest)
#include "SetupLoadTest.moc"
