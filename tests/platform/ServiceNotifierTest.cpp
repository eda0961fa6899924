#include "platform/core/ServiceNotifier.h"
#include "common/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The watchdog beat goes to systemd only when its watchdog is meant for this process.
class ServiceNotifierTest : public QObject {
    Q_OBJECT

  private slots:
    void watchdogBeatsOnlyForThisProcess() {
        QTemporaryDir folder;
        const QByteArray path = QFile::encodeName(folder.filePath("notify"));
        const int manager = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        QCOMPARE(::bind(manager, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        qputenv("NOTIFY_SOCKET", path);
        qputenv("WATCHDOG_USEC", "30000000");
        QList<QByteArray> told;
        for (const pid_t pid : {::getppid(), ::getpid()}) {
            qputenv("WATCHDOG_PID", QByteArray::number(pid));
            const kt7::ServiceNotifier notifier;
            notifier.watchdog();
            notifier.status(QStringLiteral("tick"));
        }
        char state[64];
        for (ssize_t n; (n = ::recv(manager, state, sizeof(state), MSG_DONTWAIT)) > 0;)
            told << QByteArray(state, n);
        ::close(manager);
        for (const char* name : {"NOTIFY_SOCKET", "WATCHDOG_USEC", "WATCHDOG_PID"})
            qunsetenv(name);
        // The parent's watchdog gets no beat; this process's does.
        QCOMPARE(told, (QList<QByteArray>{"STATUS=tick", "WATCHDOG=1", "STATUS=tick"}));
    }
};

KT7_REGISTER_TEST(ServiceNotifierTest)
#include "ServiceNotifierTest.moc"
