#include "dates/TimePatternReader.h"
#include "common/TestRegistry.h"
#include "dates/DateTimeField.h"

#include <QTest>

using kt7::TimePatternReader;

// The time of a log row read from its bytes must be what QLocale reads from the same text:
// whenever the reader answers, the answers agree, and for the plain patterns of most desktops
// it answers every time the writer wrote.
class TimePatternReaderTest : public QObject {
    Q_OBJECT
  private slots:
    void readsAsTheLocaleDoes_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("readsPlainly");
        QTest::newRow("C, ISO") << QLocale::c() << true;
        QTest::newRow("US, 12-hour") << QLocale(QLocale::English, QLocale::UnitedStates) << true;
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << true;
        QTest::newRow("Finnish, dots") << QLocale(QLocale::Finnish, QLocale::Finland) << true;
        QTest::newRow("Korean, letters as literals")
            << QLocale(QLocale::Korean, QLocale::SouthKorea) << false;
        QTest::newRow("Arabic, other digits") << QLocale(QLocale::Arabic, QLocale::Egypt) << false;
    }
    void readsAsTheLocaleDoes() {
        QFETCH(QLocale, locale);
        QFETCH(bool, readsPlainly);
        const QString pattern = kt7::dateTimePatterns(locale).time.replace(u'\u202F', u' ');
        const TimePatternReader reader(pattern, locale);
        const QList<QTime> times{QTime(0, 0, 1),   QTime(0, 59, 59), QTime(9, 5, 7),
                                 QTime(12, 0, 0),  QTime(12, 30, 5), QTime(13, 5, 9),
                                 QTime(23, 59, 59)};
        for (const QTime& time : times) {
            const QString text = locale.toString(time, pattern).replace(u'\u202F', u' ');
            const std::optional<QTime> read = reader.read(text.toUtf8());
            QCOMPARE(read.has_value(), readsPlainly);
            if (read)
                QCOMPARE(*read, locale.toTime(text, pattern));
        }
        // Texts the writer never writes: no answer, or QLocale's.
        for (const QString& text :
             {QStringLiteral("25:00:00"), QStringLiteral("12:60:00"), QStringLiteral("1:02"),
              QStringLiteral("13:05:09 PM"), QStringLiteral("1:05:09 XM"),
              QStringLiteral("12:00:00x"), QString(), QStringLiteral("0:00:00 AM")}) {
            const std::optional<QTime> read = reader.read(text.toUtf8());
            if (read)
                QCOMPARE(*read, locale.toTime(text, pattern));
        }
    }
};

KT7_REGISTER_TEST(TimePatternReaderTest)
#include "TimePatternReaderTest.moc"
