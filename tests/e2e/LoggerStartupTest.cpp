#include "common/ScratchHome.h"
#include "common/TestRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The real program, started as a user would start it, in a home of its own.
class LoggerStartupTest : public QObject {
    Q_OBJECT

  private slots:
    void startsAndCreatesItsLogFolder() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(kt7test::makeDanglingPorts(home.path()));
        const QString logFolder = home.path() + QStringLiteral("/KT7 Log");
        QVERIFY(!QFileInfo::exists(logFolder));

        QProcess logger;
        logger.setProcessEnvironment(kt7test::isolatedEnvironment(home.path()));
        logger.setProcessChannelMode(QProcess::MergedChannels);
        logger.start(QStringLiteral(KT7_LOGGER_PATH), {});
        QVERIFY2(logger.waitForStarted(15000), qPrintable(logger.errorString()));

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(logFolder).isDir(), 30000);
        // Still running once the folder exists, and for a moment after: start-up neither crashed
        // nor quit on finding no port.
        QCOMPARE(logger.state(), QProcess::Running);
        QVERIFY2(!logger.waitForFinished(500),
                 qPrintable(QStringLiteral("ended with %1: %2")
                                .arg(logger.exitCode())
                                .arg(QString::fromLocal8Bit(logger.readAll()))));

        // No log is written before the user asks for one, and the port entries stay as they were.
        QVERIFY(QDir(logFolder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        for (int n = 1; n <= kt7test::PortCount; ++n)
            QVERIFY(QFileInfo(kt7test::portsFolder(home.path()) + QStringLiteral("/com%1").arg(n))
                        .isSymLink());

        logger.terminate();
        if (!logger.waitForFinished(10000)) {
            logger.kill();
            QVERIFY(logger.waitForFinished(10000));
        }
    }

    void listsItsPortsAndEnds() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(kt7test::makeDanglingPorts(home.path()));
        QProcess logger;
        logger.setProcessEnvironment(kt7test::isolatedEnvironment(home.path()));
        logger.start(QStringLiteral(KT7_LOGGER_PATH), {QStringLiteral("--list-ports")});
        QVERIFY(logger.waitForFinished(30000));
        QCOMPARE(logger.exitCode(), 0);
        const QStringList lines = QString::fromLocal8Bit(logger.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= kt7test::PortCount);
        // Every number is taken by the home's entries, none of which leads anywhere.
        for (int n = 1; n <= kt7test::PortCount; ++n)
            QCOMPARE(
                lines[n - 1],
                QStringLiteral("COM %1\t%2/no-such-port/com%1\tabsent\t").arg(n).arg(home.path()));
        for (const QString& line : lines.mid(kt7test::PortCount))
            QVERIFY2(line.startsWith(QStringLiteral("none\t")), qPrintable(line));
    }
};

KT7_REGISTER_TEST(LoggerStartupTest)
#include "LoggerStartupTest.moc"
