#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"
#include "platform/widgets/WindowFit.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QTest>

using namespace kt7test;

namespace {
QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << QStringLiteral("%1=%2").arg(list->itemText(i), list->itemData(i).toString());
    return texts;
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void portProbeFillsEveryList_data() {
        QTest::addColumn<QList<int>>("existing");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("assignedPort");
        QTest::newRow("ports 1, 2 and 5")
            << QList<int>{5, 2, 1} << QStringList{"COM 1=1", "COM 2=2", "COM 5=5"} << 1;
        QTest::newRow("no port") << QList<int>{} << QStringList{} << 0;
        QTest::newRow("only COM 10") << QList<int>{10} << QStringList{"COM 10=10"} << 10;
    }
    void portProbeFillsEveryList() {
        QFETCH(QList<int>, existing);
        QFETCH(QStringList, expected);
        QFETCH(int, assignedPort);
        WindowFixture fixture({}, false);
        for (int port : existing)
            fixture.ports.addPort(port);
        fixture.create();
        for (int i = 0; i < 8; ++i) {
            const auto* list = fixture.control<QComboBox>(QStringLiteral("CombMSCom"), i);
            QCOMPARE(entries(list), expected);
            QCOMPARE(fixture.window->devicePort(i).portNumber(), assignedPort);
            QVERIFY(!fixture.window->devicePort(i).isOpen());
        }
        // Every port number is tried once per list.
        QCOMPARE(fixture.ports.totalOpenAttempts(), 80);
        QVERIFY(fixture.messages.shown.isEmpty());
    }

    void portHeldByAnotherProgramIsListed() {
        WindowFixture fixture({}, false);
        fixture.ports.addPort(3);
        fixture.ports.setOpenError(3, kt7::PortOpenError::Busy, QStringLiteral("Device busy"));
        fixture.ports.addPort(4);
        fixture.ports.setOpenError(4, kt7::PortOpenError::PermissionDenied,
                                   QStringLiteral("Permission denied"));
        fixture.create();
        QCOMPARE(entries(fixture.control<QComboBox>(QStringLiteral("CombMSCom"), 7)),
                 (QStringList{"COM 3=3", "COM 4=4"}));
        QCOMPARE(fixture.window->devicePort(7).portNumber(), 3);
    }

    void logFolderIsCreatedWhenMissingAndLeftAloneWhenPresent() {
        WindowFixture fresh({1}, false);
        QVERIFY(!QDir(fresh.desktop.logDir).exists());
        fresh.create();
        QVERIFY(QDir(fresh.desktop.logDir).exists());
        QCOMPARE(fresh.window->session().logFolder(), fresh.desktop.logDir);

        WindowFixture present({1}, false);
        QVERIFY(QDir().mkpath(present.desktop.logDir));
        QFile keep(present.desktop.logDir + QStringLiteral("old.csv"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("data");
        keep.close();
        present.create();
        QCOMPARE(QDir(present.desktop.logDir).entryList(QDir::Files), QStringList{"old.csv"});
        QCOMPARE(QFileInfo(keep.fileName()).size(), 4);
        QVERIFY(present.messages.shown.isEmpty());
    }

    void logFolderThatCannotBeCreatedIsReportedAndStartUpGoesOn() {
        WindowFixture fixture({1}, false);
        QFile blocker(fixture.home.path() + QStringLiteral("/file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        fixture.desktop.logDir = blocker.fileName() + QStringLiteral("/KT7 Log/");
        fixture.create();
        QCOMPARE(fixture.messages.shown.size(), 1);
        QVERIFY(
            fixture.messages.shown[0].contains(QDir::toNativeSeparators(fixture.desktop.logDir)));
        QCOMPARE(fixture.control<QComboBox>(QStringLiteral("CombMSCom"), 0)->count(), 1);
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FramComSet"))
                    ->isVisibleTo(fixture.window.get()));
    }

    void missingApplicationFolderStopsStartUp() {
        WindowFixture fixture({1, 2}, false);
        fixture.desktop.appFolder = fixture.home.path() + QStringLiteral("/gone");
        fixture.create();
        QCOMPARE(fixture.messages.shown, QStringList{"Disk C is not exist"});
        QVERIFY(!QDir(fixture.desktop.logDir).exists());
        QCOMPARE(fixture.ports.totalOpenAttempts(), 0);
        QCOMPARE(fixture.control<QComboBox>(QStringLiteral("CombMSCom"), 0)->count(), 0);
        // The page selector did not run: the frames keep the layout's visibility.
        const QWidget* window = fixture.window.get();
        QVERIFY(!fixture.control<QGroupBox>(QStringLiteral("FramComSet"))->isVisibleTo(window));
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FrameLogger"))->isVisibleTo(window));
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FrameTare"))->isVisibleTo(window));
        // The window still sized itself and coloured the devices before the check.
        QCOMPARE(fixture.window->state().chartHeightTwips, 4320);
    }

    void windowAndChartFollowTheWorkArea() {
        WindowFixture fixture({1}, false);
        fixture.desktop.area = {450, 11520};
        fixture.create();
        QCOMPARE(fixture.window->state().windowTopTwips, 450);
        QCOMPARE(fixture.window->state().windowHeightTwips, 10720);
        QCOMPARE(fixture.window->state().chartHeightTwips, 4320);
        QCOMPARE(fixture.window->height(), qRound(10720 / 15.0));
        QCOMPARE(fixture.window->chart()->height(), 4320 / 15);
        QCOMPARE(fixture.window->chart()->geometry().bottom() + 1, (10720 - 400) / 15);
        QCOMPARE(fixture.window->y(), 30);
    }

    // Under a window manager the height from the work area includes the title bar and borders,
    // and the chart ends 400 twips (27 px) above the window's outer bottom edge.
    void frameIsPartOfTheWindowHeight_data() {
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<int>("client");
        QTest::addColumn<int>("chart");
        QTest::newRow("no frame (offscreen)") << QMargins() << 715 << 288;
        QTest::newRow("title bar and borders") << QMargins(4, 30, 4, 4) << 681 << 258;
        QTest::newRow("title bar only") << QMargins(0, 24, 0, 0) << 691 << 264;
    }
    void frameIsPartOfTheWindowHeight() {
        QFETCH(QMargins, frame);
        QFETCH(int, client);
        QFETCH(int, chart);
        const kt7::WindowFit fit = kt7::fitWindow(10720, 6000, 600, frame, kt7::TwipsScale(96));
        QCOMPARE(fit.clientHeightPx, client);
        QCOMPARE(fit.chartHeightPx, chart);
        // Seen from the frame's top: the chart ends 27 px above the outer bottom edge, and the
        // whole window is as high as the work area allows.
        QCOMPARE(frame.top() + 400 + fit.chartHeightPx, 715 - 27);
        QCOMPARE(frame.top() + fit.clientHeightPx + frame.bottom(), 715);
    }

    void tinyWorkAreaStillGivesAUsableWindow() {
        WindowFixture fixture({1}, false);
        fixture.desktop.area = {0, 3000};
        fixture.create();
        QVERIFY(fixture.window->chart()->height() > 0);
        QVERIFY(fixture.window->chart()->geometry().bottom() < fixture.window->height());
    }

    void devicesAreDrawnInTheirColours() {
        WindowFixture fixture;
        const std::array<QColor, 8> colours{
            QColor(0, 0, 255), QColor(255, 0, 0),   QColor(128, 128, 0), QColor(0, 255, 0),
            QColor(128, 0, 0), QColor(128, 0, 128), QColor(0, 255, 255), QColor(0, 128, 128)};
        for (int slot = 0; slot < 8; ++slot) {
            QCOMPARE(fixture.window->chart()->plotColor(slot + 1), colours[slot]);
            QCOMPARE(fixture.window->chart()->axisLabelColor(slot + 2), colours[slot]);
            const auto* bar = fixture.control<QWidget>(QStringLiteral("ShapeDevice"), slot);
            QCOMPARE(bar->palette().color(QPalette::Window), colours[slot]);
        }
    }

    void nothingIsLinkedOrOpenAfterStartUp() {
        WindowFixture fixture({1, 2});
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!fixture.button(QStringLiteral("Ch_Link"), i)->isChecked());
            QVERIFY(!fixture.window->devicePort(i).isOpen());
        }
        QVERIFY(fixture.window->session().logFileName().isEmpty());
        QCOMPARE(fixture.window->session().sampleCount(), 0);
        QCOMPARE(fixture.window->session().recording().intervalCount(), 0);
    }
};

KT7_REGISTER_TEST(StartupTest)
#include "StartupTest.moc"
