#include "common/TestRegistry.h"
#include "fakes/FakePortCatalogue.h"
#include "platform/core/ComPortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using kt7::SystemPort;

namespace {

const QString ById = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_%1-if00-port0");

SystemPort adapter(const QString& device, const QString& serial = {}) {
    return {device, serial.isEmpty() ? QString() : ById.arg(serial), {}, {}, serial};
}

// The folder as "number>target" words, numbers in order.
QString folderMap(const QString& folder) {
    QStringList words;
    for (int n = 1; n <= 10; ++n) {
        const QFileInfo entry(folder + QStringLiteral("/com%1").arg(n));
        if (entry.isSymLink())
            words.append(QStringLiteral("%1>%2").arg(n).arg(entry.symLinkTarget()));
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

using Uarts = QHash<QString, kt7::UartNode>;
Q_DECLARE_METATYPE(QList<SystemPort>)
Q_DECLARE_METATYPE(Uarts)

// COM numbers for ports that have none, as the ports folder keeps them.
class PortNumbersTest : public QObject {
    Q_OBJECT

  private slots:
    void newPortsGetTheLowestFreeNumbers_data() {
        QTest::addColumn<QStringList>("handMade"); // "number>target"
        QTest::addColumn<QList<SystemPort>>("ports");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("listed"); // a line --list-ports must print
        QTest::addColumn<Uarts>("unlisted"); // UART nodes the system did not list as ports

        QTest::newRow("adapters in device order, by-id names where they exist")
            << QStringList{"1>/nonexistent/adapter"}
            << QList<SystemPort>{adapter("/dev/ttyUSB1", "B2"), adapter("/dev/ttyUSB0", "A1"),
                                 adapter("/dev/ttyACM0")}
            << "1>/nonexistent/adapter 2>/dev/ttyACM0 3>" + ById.arg("A1") + " 4>" + ById.arg("B2")
            << "COM 1\t/nonexistent/adapter\tabsent\t\n"
            << Uarts{};
        QTest::newRow("hand-made links to a device path and a by-id name are kept")
            << QStringList{"2>/dev/ttyUSB0", "7>" + ById.arg("B2")}
            << QList<SystemPort>{adapter("/dev/ttyUSB0", "A1"), adapter("/dev/ttyUSB3", "B2")}
            << "2>/dev/ttyUSB0 7>" + ById.arg("B2") << "COM 7\t" + ById.arg("B2") + "\t" << Uarts{};
        QTest::newRow("UARTs keep their own number where it is free")
            << QStringList{"2>/nonexistent/adapter"}
            << QList<SystemPort>{adapter("/dev/ttyUSB0", "A1"), adapter("/dev/ttyS1"),
                                 adapter("/dev/ttyS0")}
            << "2>/nonexistent/adapter 3>/dev/ttyS1 4>" + ById.arg("A1")
            << "COM 1\t/dev/ttyS0\tpresent\t\n"
            << Uarts{};
        QList<SystemPort> eleven;
        for (int n = 10; n >= 0; --n)
            eleven.append(adapter(QStringLiteral("/dev/ttyUSB%1").arg(n)));
        QTest::newRow("an eleventh adapter gets no number")
            << QStringList{} << eleven
            << "1>/dev/ttyUSB0 2>/dev/ttyUSB1 3>/dev/ttyUSB2 4>/dev/ttyUSB3 5>/dev/ttyUSB4 "
               "6>/dev/ttyUSB5 7>/dev/ttyUSB6 8>/dev/ttyUSB7 9>/dev/ttyUSB8 10>/dev/ttyUSB9"
            << "none\t/dev/ttyUSB10\tpresent, no free number from COM 1 to COM 10\t\n"
            << Uarts{};
        // Before the user is in dialout the system lists no UART: one that is there all the same
        // keeps its number, or an adapter would shadow it for good once access is granted.
        QTest::newRow("a UART the user cannot open yet keeps its number")
            << QStringList{} << QList<SystemPort>{adapter("/dev/ttyUSB0")} << "2>/dev/ttyUSB0"
            << "COM 1\t/dev/ttyS0\tpresent\t\n"
            << Uarts{{"/dev/ttyS0", {true, 4, 0}}, {"/dev/ttyS1", {true, 0, 0}}};
        QList<SystemPort> five;
        for (int n = 4; n >= 0; --n)
            five.append(adapter(QStringLiteral("/dev/ttyUSB%1").arg(n)));
        QTest::newRow("without the kernel's UART type only a missing device is absent")
            << QStringList{} << five
            << "1>/dev/ttyUSB0 3>/dev/ttyUSB1 4>/dev/ttyUSB2 5>/dev/ttyUSB3 7>/dev/ttyUSB4"
            << "COM 2\t/dev/ttyS1\tpresent\t\nCOM 3\t/dev/ttyUSB1\tpresent"
            << Uarts{{"/dev/ttyS0", {true, 0, EACCES}},  {"/dev/ttyS1", {true, {}, EACCES}},
                     {"/dev/ttyS2", {true, {}, ENXIO}},  {"/dev/ttyS3", {true, {}, EIO}},
                     {"/dev/ttyS4", {true, {}, 0}},      {"/dev/ttyS5", {true, {}, EBUSY}},
                     {"/dev/ttyS6", {false, {}, EACCES}}};
    }
    void newPortsGetTheLowestFreeNumbers() {
        QFETCH(QStringList, handMade);
        QFETCH(QList<SystemPort>, ports);
        QFETCH(QString, expected);
        QFETCH(QString, listed);
        QFETCH(Uarts, unlisted);
        QTemporaryDir home;
        kt7test::FakePortCatalogue catalogue;
        catalogue.folder = home.path() + QStringLiteral("/ports");
        catalogue.ports = ports;
        catalogue.uarts = unlisted;
        QVERIFY(QDir().mkpath(catalogue.folder));
        for (const QString& link : handMade) {
            const QStringList parts = link.split('>');
            QVERIFY(QFile::link(parts[1], catalogue.folder + QStringLiteral("/com") + parts[0]));
        }

        const kt7::ComPortMap first = kt7::assignPortNumbers(catalogue);
        QCOMPARE(folderMap(catalogue.folder), expected);
        QVERIFY2(first.problems.isEmpty(), qPrintable(first.problems.join('\n')));
        const QString text = kt7::portMapText(first);
        QVERIFY2(text.contains(listed), qPrintable(text));

        // The next start finds every port numbered and changes nothing.
        const kt7::ComPortMap second = kt7::assignPortNumbers(catalogue);
        QVERIFY(second.assigned.isEmpty());
        QCOMPARE(folderMap(catalogue.folder), expected);
        QCOMPARE(kt7::portMapText(second), text);
    }

    void describesTheAdapterBehindAnEntry() {
        QTemporaryDir home;
        const QString entry = home.path() + QStringLiteral("/com3");
        QVERIFY(QFile::link(ById.arg("A1"), entry));
        SystemPort port = adapter("/dev/ttyUSB0", "A1");
        port.description = QStringLiteral("FT232R USB UART");
        port.manufacturer = QStringLiteral("FTDI");
        QCOMPARE(kt7::portToolTip(entry, kt7::portBehind(entry, {adapter("/dev/ttyS0"), port})),
                 entry + "\n\u2192 " + ById.arg("A1") +
                     "\nDevice: /dev/ttyUSB0\nFT232R USB UART\nMaker: FTDI\nSerial number: A1");
        QVERIFY(!kt7::portBehind(entry, {adapter("/dev/ttyUSB0", "B2")}));
    }
};

KT7_REGISTER_TEST(PortNumbersTest)
#include "PortNumbersTest.moc"
