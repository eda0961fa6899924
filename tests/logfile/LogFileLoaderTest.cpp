#include "logfile/LogFileLoader.h"
#include "common/TestRegistry.h"
#include "logfile/CsvFormat.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/stat.h>

using namespace kt7;

namespace {

QByteArray rowsOf(int first, int count, const QLocale& locale) {
    QByteArray bytes;
    const QDateTime start(QDate(2026, 12, 7), QTime(23, 0));
    for (int r = first; r < first + count; ++r)
        bytes += csvDataRow(r, start.addSecs(r / 3), locale, CodePage::system(),
                            {r * 0.5, std::nullopt, -r * 1e-3});
    return bytes;
}

bool sameColumn(const LogColumn& a, const LogColumn& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](double x, double y) {
        return x == y || (std::isnan(x) && std::isnan(y));
    });
}

} // namespace

// Reading a file from the start in two halves at once gives what one reader in order gives.
class LogFileLoaderTest : public QObject {
    Q_OBJECT
  private slots:
    void halvesReadAtOnceMatchOneReader_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<QString>("note");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("clean, US") << us << QByteArray() << QString();
        QTest::newRow("German, damage in both halves")
            << QLocale(QLocale::German, QLocale::Germany) << QByteArray("junk line\r\n")
            << "Skipped as not data rows: 2 (the first is line 154)";
        QTest::newRow("C, unreadable dates in both halves")
            << QLocale::c() << QByteArray("9,not a date,1,,,,,,,\r\n")
            << "could not be read: 2 (the first is on line 154)";
    }
    void halvesReadAtOnceMatchOneReader() {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, damage);
        QFETCH(QString, note);
        const std::array<QString, 8> texts{"A", "B", "C", "D", "E", "F", "G", "H"};
        QByteArray bytes = csvHeader(texts, texts, CodePage::system()) + rowsOf(1, 150, locale);
        bytes += damage + rowsOf(151, 300, locale) + damage + rowsOf(451, 150, locale);
        bytes += "601,cut"; // the last line is unfinished
        QTemporaryDir dir;
        QFile file(dir.filePath("log.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        LogReader one(locale);
        one.feed(bytes);
        const LogRows want = one.takeRows();
        LogFileLoader loader(file.fileName(), locale, 0);
        const LoadedLog got = loader.load();
        QCOMPARE(got.error, QString());
        QCOMPARE(got.bytesRead, qint64(bytes.size()));
        QCOMPARE(got.reader->notes(), one.notes());
        QVERIFY2(note.isEmpty() || one.notes().join(' ').contains(note),
                 qPrintable(one.notes().join(' ')));
        QCOMPARE(got.reader->rowCount(), one.rowCount());
        QCOMPARE(got.reader->unfinishedBytes(), 7);
        QVERIFY(sameColumn(got.rows.sampleNumbers, want.sampleNumbers));
        QVERIFY(sameColumn(got.rows.seconds, want.seconds));
        for (int d = 0; d < 8; ++d)
            QVERIFY(sameColumn(got.rows.values[d], want.values[d]));
        QCOMPARE(loader.progress(), 1.0);
    }

    // A pipe would hold the reader until someone writes to it: refused before it is opened.
    void refusesWhatIsNotARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("note");
#ifndef Q_OS_WIN
        QTest::newRow("pipe") << "pipe"
                              << "not a regular file";
#endif
        QTest::newRow("folder") << "folder"
                                << "folder";
    }
    void refusesWhatIsNotARegularFile() {
        QFETCH(QString, kind);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString path = dir.filePath("log.csv");
#ifndef Q_OS_WIN
        if (kind == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
#endif
            QVERIFY(QDir(dir.path()).mkdir("log.csv"));
        LogFileLoader loader(path, QLocale::c());
        // As the viewer hears of it: queued from the loader's thread to this one.
        QObject receiver;
        int finished = 0;
        connect(&loader, &LogFileLoader::finished, &receiver, [&] { ++finished; });
        loader.start();
        QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 20000);
        QVERIFY(loader.isFinished());
        const LoadedLog got = loader.take();
        QVERIFY2(got.error.contains(note), qPrintable(got.error));
        QCOMPARE(got.reader->rowCount(), 0);
    }
};

KT7_REGISTER_TEST(LogFileLoaderTest)
#include "LogFileLoaderTest.moc"
