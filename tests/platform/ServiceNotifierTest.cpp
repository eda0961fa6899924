#include "platform/core/ServiceNotifier.h"
#include "common/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Where a service manager would read what the logger tells it.
class NotifySocket {
  public:
    explicit NotifySocket(const QString& path)
        : fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        if (fd >= 0 && name.size() < qsizetype(sizeof(address.sun_path))) {
            std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
            bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        }
    }
    ~NotifySocket() { ::close(fd); }
    QList<QByteArray> received() const {
        QList<QByteArray> all;
        char buffer[256];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT)) > 0;)
            all << QByteArray(buffer, n);
        return all;
    }
    const int fd;
    bool bound = false;
};

// Sets a variable for one test and puts back what was there.
class EnvironmentValue {
  public:
    EnvironmentValue(const char* name, const QByteArray& value)
        : name(name), was(qgetenv(name)), wasSet(qEnvironmentVariableIsSet(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvironmentValue() { wasSet ? qputenv(name, was) : qunsetenv(name); }

  private:
    const char* name;
    const QByteArray was;
    const bool wasSet;
};

} // namespace

// The watchdog beat goes to systemd only when its watchdog is meant for this process.
class ServiceNotifierTest : public QObject {
    Q_OBJECT

  private slots:
    void watchdogBeatsOnlyForThisProcess_data() {
        QTest::addColumn<QString>("watchdogPid");
        QTest::addColumn<bool>("beats");
        QTest::newRow("this process") << "self" << true;
        QTest::newRow("no process named") << "" << true;
        QTest::newRow("another process") << "parent" << false;
    }
    void watchdogBeatsOnlyForThisProcess() {
        QFETCH(QString, watchdogPid);
        QFETCH(bool, beats);
        QTemporaryDir folder;
        const NotifySocket socket(folder.filePath("notify"));
        QVERIFY(socket.bound);
        const EnvironmentValue notify("NOTIFY_SOCKET",
                                      QFile::encodeName(folder.filePath("notify")));
        const EnvironmentValue usec("WATCHDOG_USEC", "30000000");
        const EnvironmentValue pid("WATCHDOG_PID", watchdogPid.isEmpty() ? QByteArray()
                                                   : watchdogPid == "self"
                                                       ? QByteArray::number(::getpid())
                                                       : QByteArray::number(::getppid()));
        const kt7::ServiceNotifier notifier;
        notifier.watchdog();
        notifier.status(QStringLiteral("logging"));
        const QList<QByteArray> expected = beats ? QList<QByteArray>{"WATCHDOG=1", "STATUS=logging"}
                                                 : QList<QByteArray>{"STATUS=logging"};
        QCOMPARE(socket.received(), expected);
    }
};

KT7_REGISTER_TEST(ServiceNotifierTest)
#include "ServiceNotifierTest.moc"
