#include "logfile/LogFile.h"
#include "common/TestRegistry.h"
#include "text/SystemReason.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace kt7;

namespace {

const QByteArray header = "KT7,Data Logger,RS232,Vx1\r\n,,a\r\n,,u\r\n";
const QByteArray rows = "1,x,1,,,,,,,\r\n2,x,2,,,,,,,\r\n";
const QDateTime start(QDate(2026, 12, 7), QTime(17, 0));

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class LogFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString logPath() const { return dir.filePath("log.csv"); }

  private slots:
    void init() { QFile::remove(logPath()); }

    void rowsReachTheFileAtOnce() {
        {
            QFile old(logPath());
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old contents that must go away, longer than the header itself\r\n");
        }
        LogFile log;
        QVERIFY(log.create(logPath(), header).ok);
        QVERIFY(log.isOpen());
        QCOMPARE(log.path(), logPath());
        QCOMPARE(contents(logPath()), header);
        QVERIFY(log.appendRows(rows).ok);
        // Read by another handle while the log is still open: nothing waits in a buffer.
        QCOMPARE(contents(logPath()), header + rows);
        QVERIFY(log.close().ok);
        QVERIFY(!log.isOpen());
        QVERIFY(log.path().isEmpty());
        QCOMPARE(contents(logPath()), header + rows);
    }

    void refusedCreate_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing folder") << dir.filePath("no such folder/log.csv");
        QTest::newRow("a folder") << dir.path();
#ifdef Q_OS_LINUX
        QTest::newRow("disk full") << QStringLiteral("/dev/full");
#endif
    }
    void refusedCreate() {
        QFETCH(QString, path);
        LogFile log;
        QVERIFY(log.create(logPath(), header).ok);
        const LogFileError result = log.create(path, header);
        QVERIFY(!result.ok);
#ifdef Q_OS_WIN // Windows answers a folder opened as a file with "access denied"
        QVERIFY(!result.permissionDenied || QTest::currentDataTag() == QLatin1String("a folder"));
#else
        QVERIFY(!result.permissionDenied);
#endif
        QVERIFY(!result.reason.isEmpty());
        QVERIFY(!log.isOpen());
        QVERIFY(!log.appendRows(rows).ok);
        QCOMPARE(contents(logPath()), header); // the earlier log was closed intact
    }

#ifdef Q_OS_LINUX
    void permissionDeniedIsToldApart() {
        QVERIFY(QFile(logPath()).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(logPath(), QFileDevice::ReadOwner | QFileDevice::ReadOther));
        // As root only a non-root file-system identity is refused; it does not affect the rest.
        const bool root = geteuid() == 0;
        if (root)
            setfsuid(65534);
        LogFile log;
        const LogFileError result = log.create(logPath(), header);
        if (root)
            setfsuid(0);
        QVERIFY(!result.ok);
        QVERIFY(result.permissionDenied);
        QCOMPARE(result.reason, systemReason(EACCES));
        QVERIFY(!log.isOpen());
        QCOMPARE(contents(logPath()), QByteArray());
    }

    void fullDiskIsReportedPerAppend() {
        LogFile log;
        QVERIFY(log.create(QStringLiteral("/dev/full"), QByteArray()).ok);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const LogFileError result = log.appendRows(rows);
            QVERIFY(!result.ok);
            QCOMPARE(result.reason, systemReason(ENOSPC));
        }
    }

    void shortWriteIsTakenBack() {
        LogFile log;
        QVERIFY(log.create(logPath(), header).ok);
        rlimit previous{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
        rlimit small = previous;
        small.rlim_cur = static_cast<rlim_t>(header.size() + rows.size() / 2);
        auto* const previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const LogFileError result = log.appendRows(rows);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!result.ok);
        QCOMPARE(contents(logPath()), header); // no half row left behind
        QVERIFY(log.appendRows(rows).ok);      // and the next tick's rows follow cleanly
        QCOMPARE(contents(logPath()), header + rows);
    }

    // A disk full at start leaves no empty file behind, but never removes one it did not make.
    void failedStartRemovesOnlyTheFileItMade_data() {
        QTest::addColumn<bool>("existed");
        QTest::newRow("made by the start") << false;
        QTest::newRow("there before") << true;
    }
    void failedStartRemovesOnlyTheFileItMade() {
        QFETCH(bool, existed);
        if (existed)
            QVERIFY(QFile(logPath()).open(QIODevice::WriteOnly));
        rlimit previous{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
        rlimit none = previous;
        none.rlim_cur = 0;
        auto* const previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &none) == 0);
        LogFile log;
        const LogFileError result = log.create(logPath(), header);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!result.ok);
        QVERIFY(!log.isOpen());
        QCOMPARE(QFile::exists(logPath()), existed);
    }
#endif

    void syncsAtMostEveryTenSecondsAndOnClose() {
        int syncs = 0;
        LogFile log([&](int) { return ++syncs, 0; });
        QVERIFY(log.create(logPath(), header).ok);
        const struct {
            int second;
            bool append;
            int expectedSyncs;
        } steps[] = {
            {0, false, 1}, // the header is due at once
            {1, true, 1},  {9, true, 1},  {10, false, 2}, {25, false, 2}, // nothing new to sync
            {26, true, 3},                // new rows after a quiet spell go at once
            {30, true, 3}, {5, false, 4}, // clock set back: due at once
        };
        for (const auto& step : steps) {
            if (step.append)
                QVERIFY(log.appendRows(rows).ok);
            QVERIFY(log.syncIfDue(start.addSecs(step.second)).ok);
            QVERIFY(log.waitForSync().ok);
            QCOMPARE(syncs, step.expectedSyncs);
        }
        QVERIFY(log.appendRows(rows).ok);
        QVERIFY(log.close().ok);
        QCOMPARE(syncs, 5);
    }

    void syncFailureIsReported() {
        LogFile log([](int) { return errno = EIO, -1; });
        QVERIFY(log.create(logPath(), header).ok);
        QVERIFY(log.syncIfDue(start).ok); // the sync runs in the background
        const LogFileError due = log.waitForSync();
        QVERIFY(!due.ok);
        QCOMPARE(due.reason, systemReason(EIO));
        QVERIFY(!log.close().ok);
        QVERIFY(!log.isOpen());
    }

    // Rows count as on the disk only once a sync that covers them has succeeded.
    void rowsOnDiskFollowTheLastGoodSync() {
        bool failing = false;
        LogFile log([&](int) { return failing ? (errno = EIO, -1) : 0; });
        QVERIFY(log.create(logPath(), header).ok);
        QVERIFY(log.appendRows(rows).ok);
        QVERIFY(log.syncIfDue(start).ok);
        QVERIFY(log.waitForSync().ok);
        QCOMPARE(log.rowsOnDisk(), 2);
        QVERIFY(log.appendRows(rows).ok);
        failing = true;
        QVERIFY(log.syncIfDue(start.addSecs(10)).ok);
        const LogFileError failed = log.waitForSync();
        QVERIFY(!failed.ok && failed.notOnDisk && !failed.fileGone);
        QVERIFY(!log.close().ok);
        QCOMPARE(log.rowsOnDisk(), 2);
    }

#ifndef Q_OS_WIN
    // A log deleted, moved or replaced while open is found at the next due sync and on close.
    void pathThatNoLongerNamesTheFile_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("deleted") << "delete";
        QTest::newRow("moved") << "move";
        QTest::newRow("replaced") << "replace";
    }
    void pathThatNoLongerNamesTheFile() {
        QFETCH(QString, change);
        LogFile log([](int) { return 0; });
        QVERIFY(log.create(logPath(), header).ok);
        QVERIFY(log.appendRows(rows).ok);
        QVERIFY(log.syncIfDue(start).ok);
        QVERIFY(log.waitForSync().ok);
        const QString moved = dir.filePath("moved.csv");
        QFile::remove(moved);
        if (change == "move")
            QVERIFY(QFile::rename(logPath(), moved));
        else
            QVERIFY(QFile::remove(logPath()));
        if (change == "replace") {
            QFile other(logPath());
            QVERIFY(other.open(QIODevice::WriteOnly));
        }
        QVERIFY(log.appendRows(rows).ok);
        QVERIFY(log.syncIfDue(start.addSecs(5)).ok); // not due yet: no check
        const LogFileError due = log.syncIfDue(start.addSecs(10));
        QVERIFY(!due.ok && due.fileGone);
        const LogFileError closed = log.close();
        QVERIFY(!closed.ok && closed.fileGone);
        if (change == "move")
            QCOMPARE(contents(moved), header + rows + rows);
    }
#endif
};

KT7_REGISTER_TEST(LogFileTest)
#include "LogFileTest.moc"
