#include "platform/core/PortPaths.h"
#include "common/ScratchHome.h"
#include "common/TestRegistry.h"
#include "platform/serial/QtSerialPort.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

// Where COM n lives on Unix, and what opening a port that is not there says.
class PortPathsTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    std::optional<kt7test::HomeOverride> isolated;

  private slots:
    void init() { isolated.emplace(home.path()); }
    void cleanup() { isolated.reset(); }

    void entryInThePortsFolderWinsOverTheBuiltInPort() {
        const QString folder = kt7test::portsFolder(home.path());
        QCOMPARE(kt7::portsFolder(), folder);
        QCOMPARE(kt7::portDevicePath(3), QStringLiteral("/dev/ttyS2"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(
            QFile::link(QStringLiteral("/nonexistent/adapter"), folder + QStringLiteral("/com3")));
        QCOMPARE(kt7::portDevicePath(3), folder + QStringLiteral("/com3"));
        QCOMPARE(kt7::portDevicePath(4), QStringLiteral("/dev/ttyS3"));

        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/other")));
        QCOMPARE(kt7::portDevicePath(3), QStringLiteral("/dev/ttyS2"));
    }

    void openingAPortThatIsNotThereSaysNotFound() {
        const QString folder = kt7test::portsFolder(home.path());
        QVERIFY(QDir().mkpath(folder));
        QFile::remove(folder + QStringLiteral("/com7"));
        QVERIFY(
            QFile::link(QStringLiteral("/nonexistent/adapter"), folder + QStringLiteral("/com7")));
        kt7::QtSerialPort port;
        port.setPortNumber(7);
        const kt7::PortOpenResult result = port.open();
        QCOMPARE(int(result.error), int(kt7::PortOpenError::NotFound));
        QVERIFY(!result.reason.isEmpty());
        QVERIFY(!port.isOpen());
        QCOMPARE(port.bytesWaiting(), 0);
        QVERIFY(port.readAll().isEmpty());
    }
};

KT7_REGISTER_TEST(PortPathsTest)
#include "PortPathsTest.moc"
