#include "logfile/LogReader.h"
#include "common/TestRegistry.h"
#include "logfile/CsvFormat.h"

#include <QTest>
#include <cmath>

using namespace kt7;

namespace {

using Texts = std::array<QString, 8>;
using Values = std::array<std::optional<double>, 8>;

const QDate day(2026, 12, 7);
const Texts labels{"Flow, in", "Temp", "", "Label 4", "Label 5", "Label 6", "Label 7", "Druck"};
const Texts units{"l/min", QString::fromUtf8("\u00b0C"), "us", "us", "us", "us", "us", "bar"};

double secondsOf(const QDateTime& when) {
    return static_cast<double>(QDateTime(when.date(), when.time(), Qt::UTC).toSecsSinceEpoch());
}

struct Row {
    QDateTime when;
    Values values;
};

// Rows as a slow and a fast device give them: empty cells, exponents, a midnight row.
std::vector<Row> sampleRows() {
    return {{QDateTime(day, QTime(23, 59, 58)), {12.5, -3.0, 0.000012}},
            {QDateTime(day, QTime(23, 59, 59)), {std::nullopt, 1e15, std::nullopt, 7.0}},
            {QDateTime(day.addDays(1), QTime(0, 0)), {12.75, std::nullopt}},
            {QDateTime(day.addDays(1), QTime(0, 0, 1)), {-0.5, 2.0, 0.0, 0.0, 0, 0, 0, 99.0}}};
}

QByteArray writtenLog(const QLocale& locale) {
    QByteArray bytes = csvHeader(labels, units, CodePage::system());
    int sample = 0;
    for (const Row& row : sampleRows())
        bytes += csvDataRow(++sample, row.when, locale, CodePage::system(), row.values);
    return bytes;
}

// Feeds the bytes in small uneven pieces, as a file still being written would deliver them.
LogRows readInPieces(LogReader& reader, const QByteArray& bytes, int piece) {
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        reader.feed(
            QByteArrayView(bytes).sliced(at, std::min<qsizetype>(piece, bytes.size() - at)));
    return reader.takeRows();
}

// Everything a reader tells, to compare two readers of the same bytes.
void compareReaders(const LogReader& got, const LogRows& gotRows, const LogReader& want,
                    const LogRows& wantRows) {
    QCOMPARE(got.rowCount(), want.rowCount());
    QCOMPARE(got.notes(), want.notes());
    QCOMPARE(got.timesReadable(), want.timesReadable());
    QCOMPARE(got.unfinishedBytes(), want.unfinishedBytes());
    QCOMPARE(gotRows.size(), wantRows.size());
    const auto same = [](const LogColumn& a, const LogColumn& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](double x, double y) {
            return x == y || (std::isnan(x) && std::isnan(y));
        });
    };
    QVERIFY(same(gotRows.sampleNumbers, wantRows.sampleNumbers));
    QVERIFY(same(gotRows.seconds, wantRows.seconds));
    for (int d = 0; d < 8; ++d)
        QVERIFY(same(gotRows.values[d], wantRows.values[d]));
}

} // namespace

class LogReaderTest : public QObject {
    Q_OBJECT
  private slots:
    // Logs travel between desktops: one written in Boston is read in Berlin or on a server.
    void readsWhatTheWriterWrote_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QLocale>("readUnder");
        QTest::addColumn<int>("piece");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale german(QLocale::German, QLocale::Germany);
        const QLocale c = QLocale::c();
        QTest::newRow("US, whole") << us << us << (1 << 20);
        QTest::newRow("US, 7-byte pieces") << us << us << 7;
        QTest::newRow("German") << german << german << 64;
        QTest::newRow("C locale, ISO") << c << c << 3;
        QTest::newRow("US log under C") << us << c << 7;
        QTest::newRow("US log under German") << us << german << 64;
        QTest::newRow("German log under US") << german << us << 64;
        QTest::newRow("ISO log under US") << c << us << 64;
        QTest::newRow("British log under US")
            << QLocale(QLocale::English, QLocale::UnitedKingdom) << us << 64;
    }
    void readsWhatTheWriterWrote() {
        QFETCH(QLocale, locale);
        QFETCH(QLocale, readUnder);
        QFETCH(int, piece);
        LogReader reader(readUnder);
        const LogRows rows = readInPieces(reader, writtenLog(locale), piece);
        QVERIFY(reader.isLog());
        QCOMPARE(reader.labels(), labels);
        QCOMPARE(reader.units(), units);
        QCOMPARE(reader.notes(), QStringList());
        QVERIFY(reader.timesReadable());
        const auto expected = sampleRows();
        QCOMPARE(rows.size(), expected.size());
        for (std::size_t r = 0; r < expected.size(); ++r) {
            QCOMPARE(rows.sampleNumbers[r], double(r + 1));
            QCOMPARE(rows.seconds[r], secondsOf(expected[r].when));
            for (int d = 0; d < 8; ++d) {
                const auto want = expected[r].values[d];
                QCOMPARE(std::isnan(rows.values[d][r]), !want.has_value());
                if (want)
                    QCOMPARE(rows.values[d][r], *want);
            }
        }
    }

    void damagedOrForeignFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("isLog");
        QTest::addColumn<bool>("timesReadable");
        QTest::addColumn<QString>("note");
        const QLocale c = QLocale::c();
        const QByteArray log = writtenLog(c);
        QTest::newRow("cut off in the last line")
            << log + "5,2026-12-08 00:00:02,1." << 4 << true << true << "cut off";
        QTest::newRow("foreign CSV")
            << QByteArray("time,value\r\n1,2\r\n3,4\r\n") << 0 << false << false << "not a KT7 log";
        QTest::newRow("row that is not a row")
            << log + "garbage\r\n5,2026-12-08 00:00:02,1,,,,,,,x\r\n6,2026-12-08 00:00:03,"
                     "1,,,,,,,\r\n"
            << 5 << true << true << "Skipped as not data rows: 2 (the first is line 8)";
        QTest::newRow("unreadable date")
            << log + "5,yesterday,1,,,,,,,\r\n"
            << 5 << true << false << "could not be read: 1 (the first is on line 8)";
        QTest::newRow("another desktop's log, one date unreadable")
            << writtenLog(QLocale(QLocale::English, QLocale::UnitedStates)) +
                   "5,12/8/2026 13:00:02 PM,1,,,,,,,\r\n"
            << 5 << true << false << "could not be read: 1 (the first is on line 8)";
        QTest::newRow("no date of any desktop")
            << QByteArray(log).replace("2026-12-", "2026/12/") << 4 << true << false
            << "could not be read: 4 (the first is on line 4)";
        QTest::newRow("header cut short") << QByteArray("KT7,Data Logger,RS232,Vx1\r\n,,a") << 0
                                          << true << false << "ends inside the three header";
        QTest::newRow("ten megabytes cut off without a line end")
            << log + QByteArray(10 << 20, 'x') << 4 << true << true
            << "no line end after 10485760 bytes";
        QTest::newRow("a megabyte without a line end")
            << log + QByteArray(1 << 20, 'x') + "\n6,2026-12-08 00:00:03,1,,,,,,,\r\n"
            << 5 << true << true << "Skipped as not data rows: 1 (the first is line 8)";
    }
    void damagedOrForeignFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(bool, isLog);
        QFETCH(bool, timesReadable);
        QFETCH(QString, note);
        LogReader reader(QLocale::c());
        QCOMPARE(readInPieces(reader, bytes, 4096).size(), std::size_t(rows));
        QCOMPARE(reader.isLog(), isLog);
        QCOMPARE(reader.timesReadable(), timesReadable);
        QVERIFY2(reader.notes().join(' ').contains(note), qPrintable(reader.notes().join(' ')));
    }

    // Two readers of the stretches before and after a line end, joined, tell what one reader
    // of the whole tells: rows, counts, and notes with the file's own line numbers.
    void stretchesReadApartJoinAsOne_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QLocale>("readUnder");
        QTest::addColumn<QByteArray>("tail");
        const QLocale c = QLocale::c();
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("clean") << c << c << QByteArray("5,2026-12-08 00:00:02,1,,,,,,,3\r\n");
        QTest::newRow("damage on both sides")
            << c << c
            << QByteArray("junk\r\n5,2026-12-08 00:00:02,1,,,,,,,\r\n6,someday,2,,,,,,,\r\n"
                          "7,2026-12-08 00:00:04,x,,,,,,,\r\n8,2026-12-08 00:00:05,4,,,,,,,\r\n"
                          "9,never,5,,,,,,,\r\n");
        QTest::newRow("cut off at the end") << c << c << QByteArray("5,2026-12-08 00:00:02,1,,");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("German, an unreadable date")
            << german << german << QByteArray("5,???,1,,,,,,,\r\n");
        QTest::newRow("US") << us << us << QByteArray();
        QTest::newRow("US log under C, an unreadable date")
            << us << c << QByteArray("5,12/8/2026 0:00:02,1,,,,,,,\r\n");
    }
    void stretchesReadApartJoinAsOne() {
        QFETCH(QLocale, locale);
        QFETCH(QLocale, readUnder);
        QFETCH(QByteArray, tail);
        const QByteArray bytes = writtenLog(locale) + tail;
        LogReader whole(readUnder);
        whole.feed(bytes);
        const LogRows wholeRows = whole.takeRows();
        qsizetype head = -1;
        for (int line = 0; line < 4; ++line)
            head = bytes.indexOf('\n', head + 1);
        ++head;
        // Every line end after the first row is tried as the place where the stretches meet.
        for (qsizetype split = head; split > 0 && split < bytes.size();
             split = bytes.indexOf('\n', split) + 1) {
            LogReader first(readUnder);
            first.feed(QByteArrayView(bytes).first(head));
            const std::unique_ptr<LogReader> later = first.readerForLaterRows();
            QVERIFY(later);
            first.feed(QByteArrayView(bytes).sliced(head, split - head));
            later->feed(QByteArrayView(bytes).sliced(split));
            first.append(std::move(*later));
            compareReaders(first, first.takeRows(), whole, wholeRows);
        }
    }

    // A line cut off while the log is being written is read once its end arrives.
    void unfinishedLineCompletesLater() {
        LogReader reader(QLocale::c());
        reader.feed(writtenLog(QLocale::c()) + "5,2026-12-08 00:00:02,4");
        QCOMPARE(reader.takeRows().size(), std::size_t(4));
        QVERIFY(reader.unfinishedBytes() > 0);
        reader.feed("2.5,,,,,,,\r\n");
        const LogRows rows = reader.takeRows();
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.values[0][0], 42.5);
        QCOMPARE(reader.notes(), QStringList());
    }
};

KT7_REGISTER_TEST(LogReaderTest)
#include "LogReaderTest.moc"
