#include "dates/DatePatternReader.h"
#include "common/TestRegistry.h"
#include "dates/DateTimeField.h"

#include <QTest>

using kt7::DatePatternReader;

// The date of a log row read from its bytes must be what QLocale reads from the same text, so a
// log read on the desktop that wrote it gives the dates it always gave.
class DatePatternReaderTest : public QObject {
    Q_OBJECT
  private slots:
    void readsAsTheLocaleDoes_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("readsPlainly");
        QTest::newRow("C, ISO") << QLocale::c() << true;
        QTest::newRow("US") << QLocale(QLocale::English, QLocale::UnitedStates) << true;
        QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom) << true;
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << true;
        QTest::newRow("Finnish") << QLocale(QLocale::Finnish, QLocale::Finland) << true;
        QTest::newRow("Arabic, other digits") << QLocale(QLocale::Arabic, QLocale::Egypt) << false;
    }
    void readsAsTheLocaleDoes() {
        QFETCH(QLocale, locale);
        QFETCH(bool, readsPlainly);
        const QString pattern = kt7::dateTimePatterns(locale).date;
        const DatePatternReader reader(pattern);
        for (const QDate& date :
             {QDate(2026, 1, 2), QDate(2026, 12, 7), QDate(2028, 2, 29), QDate(1999, 10, 31)}) {
            const QString text = locale.toString(date, pattern);
            const std::optional<QDate> read = reader.read(text.toUtf8());
            QCOMPARE(read.has_value(), readsPlainly);
            if (read)
                QCOMPARE(*read, date);
        }
        // Texts the writer never writes: no answer, or QLocale's.
        for (const QString& text :
             {QStringLiteral("2026-02-30"), QStringLiteral("31/02/2026"),
              QStringLiteral("2/30/2026"), QStringLiteral("2026-13-01"), QStringLiteral("7.12.26"),
              QStringLiteral("07.12.2026x"), QString()}) {
            const std::optional<QDate> read = reader.read(text.toUtf8());
            if (read)
                QCOMPARE(*read, locale.toDate(text, pattern));
        }
    }
};

KT7_REGISTER_TEST(DatePatternReaderTest)
#include "DatePatternReaderTest.moc"
