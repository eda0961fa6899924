#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QDir>
#include <QTest>

using namespace kt7test;

// Renders the window after start-up so a person can look at it; checks what the picture must
// show at the places a user looks.
class WindowPictureTest : public QObject {
    Q_OBJECT
  private slots:
    void windowAfterStartUpIsRendered() {
        WindowFixture fixture({1, 2, 3, 4, 5, 6, 7, 8});
        fixture.window->show();
        const QImage picture = fixture.window->grab().toImage();
        QVERIFY(!picture.isNull());
        const QString folder = qEnvironmentVariable("KT7_TEST_OUTPUT", QDir::tempPath());
        QVERIFY(picture.save(folder + QStringLiteral("/window-after-start-up.png")));

        // Device 5's colour bar is dark red in the picture itself.
        const QWidget* bar = fixture.control<QWidget>(QStringLiteral("ShapeDevice"), 4);
        const QPoint centre = bar->mapTo(fixture.window.get(), bar->rect().center());
        QCOMPARE(picture.pixelColor(centre * picture.devicePixelRatio()), QColor(128, 0, 0));
    }
};

KT7_REGISTER_TEST(WindowPictureTest)
#include "WindowPictureTest.moc"
