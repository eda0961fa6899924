#include "SetupTestHelpers.h"
#include "TickLogHelpers.h"
#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"

#include <QTest>
#include <clocale>

using namespace kt7test;

namespace {

const QString degreeLabel = QString::fromUtf8("Temp \u00b0C");

QByteArray setupFile(const QByteArray& general, const QByteArray& device1) {
    QByteArray out = general + "\r\n" + device1 + "\r\n";
    for (int i = 1; i < 8; ++i)
        out += "0,\"500\",\"-500\",1,0,\"Label " + QByteArray::number(i + 1) + "\"\r\n";
    return out;
}

} // namespace

// What depends on the desktop: its decimal separator, its character set, and files or
// instruments from other desktops. ctest runs this folder under C and again under de_DE.UTF-8,
// with the same expectations.
class EveryDesktopTest : public QObject {
    Q_OBJECT
  private slots:
    // Guards the regional run: Qt has set the C library's locale from the desktop, so any number
    // that went through it would now carry the desktop's separator.
    void cLibraryLocaleIsTheDesktops() {
        const QString point = QString::fromLatin1(std::localeconv()->decimal_point);
        QCOMPARE(point, QLocale::system().decimalPoint());
    }

    void numbersKeepTheirPoint() {
        LoggerBench bench;
        WindowFixture& f = bench.fixture;
        QVERIFY(f.link(0, deviceLine("12.5", "mV")));
        QCOMPARE(f.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("12.5"));
        f.button(QStringLiteral("Tare"), 0)->setChecked(true);
        QCOMPARE(f.window->session().slot(0).tare, kt7::TareOffset::of(12.5));
        bench.send(0, "13.75", "mV");
        QVERIFY(bench.openLog(bench.path()));
        bench.manualSample()->click();
        bench.tick();
        QCOMPARE(f.labelText(QStringLiteral("LabMSData"), 0), QStringLiteral("1.25"));
        QCOMPARE(dataRows(bench.path()).value(0).split(',').value(2), QByteArray("1.25"));

        kt7::ChartComponent* chart = f.window->chart();
        f.control<QLineEdit>(QStringLiteral("TextYMax"), 2)->setText(QStringLiteral("1.5"));
        f.control<QLineEdit>(QStringLiteral("TextYMin"), 2)->setText(QStringLiteral("-2.5E-1"));
        QCOMPARE(chart->axisMaximum(kt7::ChartComponent::yAxisOf(2)), 1.5);
        QCOMPARE(chart->axisMinimum(kt7::ChartComponent::yAxisOf(2)), -0.25);
        auto* points = f.control<QLineEdit>(QStringLiteral("Text_Chart_Pts"));
        points->setText(QStringLiteral("2.5e2"));
        QTest::keyClick(points, Qt::Key_Return);
        QCOMPARE(chart->axisMaximum(kt7::ChartComponent::XAxis), 250.0);
        bench.intervalBox()->setText(QStringLiteral("0.5"));
        QCOMPARE(bench.intervalBox()->text(), QStringLiteral("1"));
    }

    // The instrument's 0xB0 is a degree sign; the terminator still matches the instrument's own
    // bytes, and the log holds the unit and a typed label in the desktop's character set.
    void degreeSignReachesTheLogAsTyped() {
        LoggerBench bench;
        WindowFixture& f = bench.fixture;
        f.control<QLineEdit>(QStringLiteral("TextLab"), 0)->setText(degreeLabel);
        QVERIFY(bench.linkDevice(0, "\xb0"
                                    "C"));
        QCOMPARE(f.labelText(QStringLiteral("LabMSUnit"), 0), QString::fromUtf8("\u00b0C"));
        QVERIFY(bench.openLog(bench.path()));
        bench.send(0, "21.5",
                   "\xb0"
                   "C");
        bench.manualSample()->click();
        bench.tick();
        const QList<QByteArray> lines = fileLines(bench.path());
        QCOMPARE(lines.value(1).split(',').value(2), QByteArray("Temp \xc2\xb0"
                                                                "C"));
        QCOMPARE(lines.value(2).split(',').value(2), QByteArray("\xc2\xb0"
                                                                "C"));
        QCOMPARE(lines.value(3).split(',').value(2), QByteArray("21.5"));
    }

    void setupFileKeepsTheLabelAndReadsOtherDesktopsFiles() {
        WindowFixture f;
        f.control<QLineEdit>(QStringLiteral("TextLab"), 3)->setText(degreeLabel);
        const QString saved = f.desktop.logDir + "utf8.kt7";
        QVERIFY(saveThrough(f, saved).contains("\"Temp \xc2\xb0"
                                               "C\""));
        WindowFixture fresh;
        loadThrough(fresh, saved);
        QCOMPARE(fresh.control<QLineEdit>(QStringLiteral("TextLab"), 3)->text(), degreeLabel);

        const QString windows = f.desktop.logDir + "windows-1252.kt7";
        QVERIFY(writeBytes(windows, setupFile("0,#FALSE#,#TRUE#,\"5\",\"300\"",
                                              "0,\"500\",\"-500\",1,0,\"Temp \xb0"
                                              "C\"")));
        loadThrough(fresh, windows);
        QCOMPARE(fresh.control<QLineEdit>(QStringLiteral("TextLab"), 0)->text(), degreeLabel);
        QCOMPARE(fresh.messages.shown, QStringList());
    }

    // A value of 2 in the file shows a partly checked box; the user's first click makes it an
    // ordinary box again, and meanwhile Auto Sample at 2 keeps the interval count running.
    void partlyCheckedBoxes() {
        LoggerBench bench;
        WindowFixture& f = bench.fixture;
        const QString path = f.desktop.logDir + "partly.kt7";
        QVERIFY(writeBytes(path, setupFile("2,#FALSE#,#TRUE#,\"2\",\"300\"",
                                           "2,\"500\",\"-500\",1,0,\"Label 1\"")));
        loadThrough(f, path);
        auto* autoSample = f.control<QCheckBox>(QStringLiteral("CheckLogAuto"));
        QCOMPARE(autoSample->checkState(), Qt::PartiallyChecked);

        QVERIFY(bench.linkDevice(0));
        QVERIFY(bench.openLog(bench.path()));
        for (int t = 0; t < 4; ++t) {
            bench.send(0, QByteArray::number(t));
            bench.tick();
        }
        QCOMPARE(dataRows(bench.path()).size(), 2);

        for (QCheckBox* box : {autoSample, f.control<QCheckBox>(QStringLiteral("ChY_Auto"), 0)}) {
            QCOMPARE(box->checkState(), Qt::PartiallyChecked);
            QList<Qt::CheckState> states;
            for (int click = 0; click < 3; ++click) {
                box->click();
                states << box->checkState();
            }
            QCOMPARE(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
        }
    }

    void noPortFoundIsSaidPlainly() {
        WindowFixture f({});
        f.button(QStringLiteral("Ch_Link"), 0)->setChecked(true);
        f.button(QStringLiteral("ComTest"), 0)->click();
        QCOMPARE(f.messages.shown.size(), 2);
        for (const QString& message : std::as_const(f.messages.shown))
            QCOMPARE(message, QStringLiteral("Device 1 has no serial port: no serial port was "
                                             "found on this computer."));
    }
};

KT7_REGISTER_TEST(EveryDesktopTest)
#include "EveryDesktopTest.moc"
