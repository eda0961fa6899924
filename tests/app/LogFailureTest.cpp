#include "TickLogHelpers.h"
#include "common/TestRegistry.h"
#include "text/SystemReason.h"

#include <QDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace kt7test;
using kt7::systemReason;

namespace {

void sampleOnce(LoggerBench& bench, const QByteArray& value = "1") {
    bench.manualSample()->setChecked(true);
    bench.send(0, value);
    bench.tick();
}

// After a failure the window is in the state "Close" leaves: no log, Close marked, input open.
void verifyClosedState(LoggerBench& bench) {
    QVERIFY(bench.session().logFileName().isEmpty());
    QVERIFY(isButtonFace(bench.newButton()));
    QVERIFY(isWhite(bench.closeButton()));
    QVERIFY(bench.frame("FrameTare")->isEnabled());
    QVERIFY(bench.frame("FrameCurVal")->isEnabled());
}

// Descriptors of this process that point at `path`.
int openHandlesOn(const QString& path) {
    int count = 0;
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd :
         QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
        count += fd.symLinkTarget() == target;
    return count;
}

} // namespace

class LogFailureTest : public QObject {
    Q_OBJECT

    // An earlier log with two rows, closed: the counter shows 2 and "Close" is marked.
    static void closeEarlierLog(LoggerBench& bench) {
        QVERIFY(bench.linkDevice(0));
        QVERIFY(bench.openLog(bench.path(QStringLiteral("earlier.csv"))));
        sampleOnce(bench);
        sampleOnce(bench);
        bench.pressClose();
        QCOMPARE(bench.samplesCaption(), QStringLiteral("2"));
    }

  private slots:
    void newThatCannotWrite_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("error");
        QTest::newRow("parent is a regular file") << "plain.txt/log.csv" << ENOTDIR;
        QTest::newRow("folder missing") << "missing/log.csv" << ENOENT;
#ifdef Q_OS_LINUX
        QTest::newRow("disk full") << "/dev/full" << ENOSPC;
#endif
    }
    void newThatCannotWrite() {
        QFETCH(QString, where);
        QFETCH(int, error);
        LoggerBench bench;
        closeEarlierLog(bench);
        if (QTest::currentTestFailed())
            return;
        QFile plain(bench.path(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const QString path = where.startsWith('/') ? where : bench.path(where);

        bench.pressNew(path);
        QCOMPARE(bench.fixture.messages.shown.size(), 1);
        const QString message = bench.fixture.messages.shown[0];
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY2(message.contains(systemReason(error)), qPrintable(message));
        verifyClosedState(bench);
        QCOMPARE(bench.samplesCaption(), QStringLiteral("2"));

        sampleOnce(bench); // nothing is counted as open, so nothing is written or reported
        QCOMPARE(bench.fixture.messages.shown.size(), 1);
        QCOMPARE(bench.session().sampleCount(), 2);
        QVERIFY(bench.openLog(bench.path(QStringLiteral("next.csv")))); // "New" works again
    }

#ifdef Q_OS_LINUX
    // A refused file keeps the one message users know; the file itself stays as it was.
    void newOnARefusedFile_data() {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void newOnARefusedFile() {
        QFETCH(bool, readOnlyFolder);
        LoggerBench bench;
        const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                         QFileDevice::ReadOther | QFileDevice::ExeOther;
        const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadOther | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(bench.fixture.home.path(), all));
        const QString folder = bench.path(QStringLiteral("logs"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/held.csv");
        const QByteArray old = "1,old,5,,,,,,,\r\n";
        if (readOnlyFolder) {
            QVERIFY(QFile::setPermissions(folder, readOnly));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
            file.close();
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther));
        }
        // Root ignores permission bits, so the refusal needs a non-root file-system identity.
        const bool root = geteuid() == 0;
        if (root)
            setfsuid(65534);
        bench.pressNew(path);
        if (root)
            setfsuid(0);
        QFile::setPermissions(folder, all);

        QCOMPARE(bench.fixture.messages.shown, QStringList{QStringLiteral("Log File was opened.")});
        QVERIFY(bench.session().logFileName().isEmpty());
        QVERIFY(isButtonFace(bench.newButton()));
        QVERIFY(isButtonFace(bench.closeButton()));
        QVERIFY(bench.frame("FrameTare")->isEnabled());
        QCOMPARE(fileBytes(path), readOnlyFolder ? QByteArray("<unreadable>") : old);
    }

    // A row the system refuses closes the log at once and says which sample is the last one kept.
    void failedRowClosesTheLog() {
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        const QString path = bench.path();
        QVERIFY(bench.openLog(path));
        bench.autoSample()->setChecked(true);
        sampleOnce(bench, "1");
        sampleOnce(bench, "2");
        const QByteArray kept = fileBytes(path);
        QCOMPARE(fileLines(path).size(), 5);
        QCOMPARE(openHandlesOn(path), 1);

        rlimit previous{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
        rlimit small = previous;
        small.rlim_cur = static_cast<rlim_t>(kept.size() + 5); // room for part of one row only
        auto* const previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        // Ticks keep running while the message is up; the log must already be closed then.
        int nestedTicks = 0;
        bench.fixture.messages.duringMessage = [&] {
            if (nestedTicks++ == 0)
                sampleOnce(bench, "9");
        };
        sampleOnce(bench, "3");
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(nestedTicks, 1);

        QCOMPARE(fileBytes(path), kept); // no part of the refused row stays behind
        verifyClosedState(bench);
        QVERIFY(!bench.autoSample()->isChecked());
        QCOMPARE(bench.fixture.messages.shown.size(), 1);
        const QString message = bench.fixture.messages.shown[0];
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY2(message.contains(systemReason(EFBIG)), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("number 2")), qPrintable(message));
        // The counter tells how many rows the file holds.
        QCOMPARE(bench.session().sampleCount(), 2);
        QCOMPARE(bench.samplesCaption(), QStringLiteral("2"));
        QCOMPARE(openHandlesOn(path), 0);

        sampleOnce(bench, "4"); // closed: no more writes, no second message
        QCOMPARE(fileBytes(path), kept);
        QCOMPARE(bench.fixture.messages.shown.size(), 1);
    }

    void closingTheWindowClosesTheLog() {
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        const QString path = bench.path();
        QVERIFY(bench.openLog(path));
        sampleOnce(bench, "1");
        sampleOnce(bench, "2");
        QCOMPARE(openHandlesOn(path), 1);
        const QByteArray written = fileBytes(path);

        QVERIFY(bench.window().close());
        QVERIFY(bench.session().logFileName().isEmpty());
        QCOMPARE(openHandlesOn(path), 0);
        QCOMPARE(fileBytes(path), written);
        QCOMPARE(fileLines(path).size(), 5);
        QCOMPARE(bench.fixture.messages.shown, QStringList());
    }
#endif
};

KT7_REGISTER_TEST(LogFailureTest)
#include "LogFailureTest.moc"
