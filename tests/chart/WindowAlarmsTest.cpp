#include "interaction/WindowAlarms.h"
#include "alarms/AlarmsFile.h"
#include "chart/ChartComponent.h"
#include "chart/LimitLines.h"
#include "common/TestRegistry.h"
#include "fakes/FakeDialogs.h"
#include "interaction/AlarmBar.h"
#include "interaction/AlarmsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace kt7;

namespace {

// A German desktop for the test's length: a comma is its decimal separator, a point its grouping.
struct GermanDesktop {
    const QLocale before;
    GermanDesktop() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanDesktop() { QLocale::setDefault(before); }
};

void clickApply(AlarmsDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();
}

} // namespace

class WindowAlarmsTest : public QObject {
    Q_OBJECT

  private slots:
    void dialogReadsWhatItShowsAndRefusesNonsense() {
        const GermanDesktop german;
        AlarmSettings settings;
        settings.devices[0] = {185.5, -20, 0.5, 2, 0};
        settings.devices[7].silent = 10;
        settings.command = QStringLiteral("/usr/local/bin/lab-alarm");
        settings.beep = true;
        AlarmsDialog dialog;
        dialog.setSettings(settings);
        QCOMPARE(dialog.field(0, AlarmsDialog::High)->text(), QStringLiteral("185,5"));
        QCOMPARE(dialog.field(0, AlarmsDialog::Silent)->text(), QStringLiteral("0"));
        QCOMPARE(dialog.field(7, AlarmsDialog::Deadband)->text(), QString()); // no dead band
        QVERIFY(dialog.settings() == settings);

        // Either separator; the point is no grouping, whatever the desktop groups with.
        dialog.field(2, AlarmsDialog::Low)->setText(QStringLiteral(" 1.500 "));
        dialog.field(2, AlarmsDialog::Delay)->setText(QStringLiteral("2,25"));
        dialog.field(7, AlarmsDialog::Silent)->clear();
        settings.devices[2] = {{}, 1.5, 0, 2.25, {}};
        settings.devices[7] = {};
        QVERIFY(dialog.settings() == settings);

        const std::pair<AlarmsDialog::Column, const char*> bad[] = {
            {AlarmsDialog::High, "1,2,3"},
            {AlarmsDialog::High, "1.000,5"},
            {AlarmsDialog::Low, "2"}, // above the high of 1
            {AlarmsDialog::Deadband, "-0,5"}};
        for (const auto& [column, text] : bad) {
            dialog.setSettings(settings);
            dialog.field(2, AlarmsDialog::High)->setText(QStringLiteral("1"));
            dialog.field(2, column)->setText(QString::fromLatin1(text));
            QString problem;
            QVERIFY2(!dialog.settings(&problem), text);
            QVERIFY2(problem.startsWith(QStringLiteral("Device 3: ")), qPrintable(problem));
        }
    }

    void showsLimitsAndAlarmsUntilAcknowledged() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lab/alarms.conf"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("lab"))));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[device 2]\nhigh = 50\nlow = -5\n"));
        file.close();
        ChartComponent chart;
        chart.show();
        std::array<QLabel*, DeviceCount> labels{};
        for (QLabel*& label : labels)
            label = new QLabel(&chart);
        std::array<bool, DeviceCount> shown{};
        shown.fill(true);
        WindowAlarms alarms(chart, chart.deviceGraphs(), labels,
                            {[&shown](int d) { return shown[d]; },
                             [](int d) { return d == 1 ? QStringLiteral("Oven") : QString(); },
                             [](int) { return QStringLiteral("°C"); }});
        QList<AlarmSettings> applied;
        connect(&alarms, &WindowAlarms::settingsApplied, this,
                [&applied](const AlarmSettings& s) { applied << s; });
        kt7test::FakeMessageBoxes messages;
        alarms.readFile(path, messages);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(applied.size(), 1);
        QVERIFY(applied[0].devices[1].high == 50.0);

        // Two dashed lines in the device's colour; none for the others; they follow the trace.
        const auto& lines = alarms.limitLines()->linesOf(1);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0]->pen().style(), Qt::DashLine);
        QCOMPARE(lines[0]->pen().color(), chart.plotColor(2));
        QCOMPARE(lines[0]->point1->coords().y(), 50.0);
        QCOMPARE(lines[0]->point1->valueAxis(), chart.deviceGraphs()[1]->valueAxis());
        QVERIFY(alarms.limitLines()->linesOf(0).isEmpty());
        const auto visibleAfterReplot = [&] {
            chart.replot();
            return lines[0]->visible() && lines[1]->visible();
        };
        QVERIFY(visibleAfterReplot());
        chart.deviceGraphs()[1]->setVisible(false);
        QVERIFY(!visibleAfterReplot());
        chart.deviceGraphs()[1]->setVisible(true);
        shown[1] = false;
        QVERIFY(!visibleAfterReplot());

        AlarmEvent event{1, AlarmKind::High, AlarmState::Raised, 52.5, 50, {}, 52.5};
        alarms.take(event);
        QCOMPARE(
            alarms.bar()->lines(),
            QStringList(QStringLiteral("Alarm raised: device 2 (Oven) high 52.5 °C, limit 50")));
        QVERIFY(!alarms.bar()->isHidden());
        QVERIFY(chart.axisRect()->minimumMargins().top() >= 8 + alarms.bar()->height());
        QCOMPARE(labels[1]->palette().color(QPalette::Window), QColor(200, 0, 0));
        QVERIFY(labels[1]->autoFillBackground() && !labels[0]->autoFillBackground());
        event.state = AlarmState::Ended;
        event.value = 48;
        alarms.take(event);
        QVERIFY(!labels[1]->autoFillBackground());
        QVERIFY(alarms.bar()->lines().value(0).startsWith("Alarm ended: device 2 (Oven) high,"));
        QTest::mouseClick(alarms.bar(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(alarms.bar()->isHidden() && alarms.bar()->lines().isEmpty());
        QCOMPARE(chart.axisRect()->minimumMargins().top(), 8); // the plot's own again
        alarms.tell(QStringLiteral("The alarm command failed"));
        QCOMPARE(alarms.bar()->lines(), QStringList(QStringLiteral("The alarm command failed")));
        QTest::mouseClick(alarms.bar(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(alarms.bar()->isHidden());

        // The dialog beside the window: Apply saves, applies, and tells a file it cannot write.
        alarms.openDialog();
        AlarmsDialog* dialog = alarms.dialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->field(1, AlarmsDialog::High)->text(), QStringLiteral("50"));
        dialog->field(1, AlarmsDialog::Deadband)->setText(QStringLiteral("2"));
        dialog->beepBox()->setChecked(true);
        clickApply(*dialog);
        QCOMPARE(dialog->toldText(), QString());
        QCOMPARE(applied.size(), 2);
        QVERIFY(readAlarmsFile(path).settings == applied[1]);
        QVERIFY(applied[1].beep && applied[1].devices[1].deadband == 2);
        QVERIFY(QFile::remove(path) && QDir().rmdir(dir.filePath(QStringLiteral("lab"))));
        QVERIFY(QFile(dir.filePath(QStringLiteral("lab"))).open(QIODevice::WriteOnly));
        clickApply(*dialog);
        QVERIFY2(dialog->toldText().startsWith("Applied, but not saved: "),
                 qPrintable(dialog->toldText()));
        QCOMPARE(applied.size(), 3);
        dialog->close();
    }
};

KT7_REGISTER_TEST(WindowAlarmsTest)
#include "WindowAlarmsTest.moc"
