#include "platform/core/PortPaths.h"
#include "common/TestRegistry.h"
#include "platform/serial/QtSerialPort.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Where COM n lives on Unix, and what opening a port that is not there says.
class PortPathsTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    QByteArray savedHome;
    QByteArray savedConfig;

  private slots:
    void init() {
        savedHome = qgetenv("HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    void cleanup() {
        qputenv("HOME", savedHome);
        if (savedConfig.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfig);
    }

    void entryInThePortsFolderWinsOverTheBuiltInPort() {
        const QString folder = home.path() + QStringLiteral("/.config/kt7-logger/ports");
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
        const QString folder = home.path() + QStringLiteral("/.config/kt7-logger/ports");
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
