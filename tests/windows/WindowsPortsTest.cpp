#include "common/TestRegistry.h"
#include "platform/core/PortPaths.h"
#include "platform/serial/SystemSerialPorts.h"

#include <QTest>

// Windows numbers its own ports: COM n is COMn, the list comes from the registry's device map,
// and a COM port that leads nowhere is "not found", the answer the start-up probe relies on.
// Run under the test prefix, whose COM 1 to COM 10 lead to links that lead nowhere.
class WindowsPortsTest : public QObject {
    Q_OBJECT

  private slots:
    void comNumbersAreWindowsOwn() {
        QCOMPARE(kt7::portDevicePath(3), QStringLiteral("COM3"));
        QCOMPARE(kt7::portDevicePath(10), QStringLiteral("COM10"));
        QCOMPARE(kt7::homeLogFolder(), QStringLiteral("C:\\KT7 Log\\"));
        QVERIFY(kt7::SystemPortCatalogue().numbersFolder().isEmpty());
        qputenv("APPDATA", "C:\\Users\\lab\\AppData\\Roaming");
        QCOMPARE(kt7::configFolder(), QStringLiteral("C:/Users/lab/AppData/Roaming"));
    }

    void registryListsThePortsWithTheirDriverNames() {
        const QList<kt7::SystemPort> ports = kt7::SystemPortCatalogue().systemPorts();
        for (int n = 1; n <= 10; ++n) {
            const QString name = QStringLiteral("COM%1").arg(n);
            const auto found = std::find_if(ports.begin(), ports.end(), [&](const auto& port) {
                return port.devicePath == name;
            });
            QVERIFY2(found != ports.end(), qPrintable(name));
            QVERIFY(!found->description.isEmpty());
        }
    }

    void aPortThatLeadsNowhereIsNotFound() {
        kt7::SystemSerialPortFactory factory;
        const std::unique_ptr<kt7::SerialPort> port = factory.create();
        port->setPortNumber(9);
        const kt7::PortOpenResult result = port->open();
        QVERIFY2(result.error == kt7::PortOpenError::NotFound, qPrintable(result.reason));
        QVERIFY(!result.reason.isEmpty() && !result.reason.endsWith(u'.'));
        QVERIFY(!port->isOpen());
        QVERIFY(port->readAll().isEmpty());
    }
};

KT7_REGISTER_TEST(WindowsPortsTest)
#include "WindowsPortsTest.moc"
