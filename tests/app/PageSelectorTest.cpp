#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QGroupBox>
#include <QTest>

using namespace kt7test;

// Which frames each page option shows, with and without "Set Y Axis ".
class PageSelectorTest : public QObject {
    Q_OBJECT
  private slots:
    void pages_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("setY");
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("communications") << 0 << false << QStringList{"FramComSet"};
        QTest::newRow("communications, Y set") << 0 << true << QStringList{"FramComSet"};
        QTest::newRow("link") << 1 << false << QStringList{"FramLinkSet", "FrameTare"};
        QTest::newRow("link, Y set") << 1 << true << QStringList{"FramLinkSet", "FrameY"};
        QTest::newRow("logger") << 2 << false << QStringList{"FrameLogger", "FrameTare"};
        QTest::newRow("logger, Y set") << 2 << true << QStringList{"FrameLogger", "FrameY"};
    }
    void pages() {
        QFETCH(int, page);
        QFETCH(bool, setY);
        QFETCH(QStringList, visible);
        WindowFixture fixture;
        // "Set Y Axis " is on the logger page; set it there, then go to the page under test.
        fixture.selectPage(2);
        fixture.control<QCheckBox>(QStringLiteral("ChSetY"))->setChecked(setY);
        fixture.selectPage(page);
        QStringList shown;
        for (const char* frame :
             {"FramComSet", "FramLinkSet", "FrameLogger", "FrameTare", "FrameY"})
            if (fixture.control<QGroupBox>(QString::fromLatin1(frame))
                    ->isVisibleTo(fixture.window.get()))
                shown << QString::fromLatin1(frame);
        QCOMPARE(shown, visible);
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FrameCurVal"))
                    ->isVisibleTo(fixture.window.get()));
    }

    void startUpShowsOnlyTheCommunicationsPage() {
        WindowFixture fixture;
        const QWidget* window = fixture.window.get();
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FramComSet"))->isVisibleTo(window));
        for (const char* frame : {"FramLinkSet", "FrameLogger", "FrameTare", "FrameY"})
            QVERIFY2(!fixture.control<QGroupBox>(QString::fromLatin1(frame))->isVisibleTo(window),
                     frame);
    }

    void setYAxisSwapsTheYFrameAndTheTareFrame() {
        WindowFixture fixture;
        fixture.selectPage(2);
        auto* setY = fixture.control<QCheckBox>(QStringLiteral("ChSetY"));
        const QWidget* window = fixture.window.get();
        setY->setChecked(true);
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FrameY"))->isVisibleTo(window));
        QVERIFY(!fixture.control<QGroupBox>(QStringLiteral("FrameTare"))->isVisibleTo(window));
        setY->setChecked(false);
        QVERIFY(!fixture.control<QGroupBox>(QStringLiteral("FrameY"))->isVisibleTo(window));
        QVERIFY(fixture.control<QGroupBox>(QStringLiteral("FrameTare"))->isVisibleTo(window));
    }

    void selectorLeavesADisabledTareFrameDisabled() {
        WindowFixture fixture;
        auto* tare = fixture.control<QGroupBox>(QStringLiteral("FrameTare"));
        tare->setEnabled(false);
        fixture.selectPage(1);
        QVERIFY(tare->isVisibleTo(fixture.window.get()));
        QVERIFY(!tare->isEnabled());
    }
};

KT7_REGISTER_TEST(PageSelectorTest)
#include "PageSelectorTest.moc"
