#include "common/TestRegistry.h"
#include "setup/SetupFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

// The labels a set-up file holds, or an empty list when it does not read as a whole set-up.
QStringList labelsIn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const kt7::SetupFileContent content = kt7::readSetupFile(file.readAll(), kt7::CodePage::utf8());
    if (!content.general)
        return {};
    QStringList labels;
    for (const auto& device : content.devices) {
        if (!device)
            return {};
        labels << kt7::toText((*device)[5]);
    }
    return labels;
}

} // namespace

// Killing the program while it saves a set-up leaves either the old or the new file, whole.
class SetupSaveKillTest : public QObject {
    Q_OBJECT
  private slots:
    void fileIsOldOrNewAfterAKill() {
        QTemporaryDir folder;
        const QString path = folder.path() + QStringLiteral("/setup.kt7");
        // A killed saver never removes its own temporary home: keep those homes in our folder.
        const QString scratch = folder.path() + QStringLiteral("/scratch");
        QVERIFY(QDir().mkdir(scratch));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), scratch);
        QProcess first;
        first.setProcessEnvironment(environment);
        first.start(QStringLiteral(KT7_SETUP_SAVE_DRIVER), {path, QStringLiteral("1")});
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);

        const int runs = qEnvironmentVariableIntValue("KT7_KILL_RUNS") > 0
                             ? qEnvironmentVariableIntValue("KT7_KILL_RUNS")
                             : 100;
        QRandomGenerator random(20261208);
        for (int run = 0; run < runs; ++run) {
            QProcess saver;
            saver.setProcessEnvironment(environment);
            saver.start(QStringLiteral(KT7_SETUP_SAVE_DRIVER), {path, QStringLiteral("0")});
            QVERIFY(saver.waitForStarted());
            const int wanted = random.bounded(1, 6);
            QByteArray out;
            while (out.count("saved") < wanted && saver.state() == QProcess::Running) {
                saver.waitForReadyRead(30000);
                out += saver.readAllStandardOutput();
            }
            ::kill(static_cast<pid_t>(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished(30000));
            const QStringList labels = labelsIn(path);
            QCOMPARE(labels.size(), 8);
            QVERIFY2(labels.count(labels.first()) == 8, "labels from two different saves");
            QVERIFY(labels.first().startsWith(QLatin1Char('A')) ||
                    labels.first().startsWith(QLatin1Char('B')));
        }
        // No temporary files are left beside the set-up.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    }
};

KT7_REGISTER_TEST(SetupSaveKillTest)
#include "SetupSaveKillTest.moc"
