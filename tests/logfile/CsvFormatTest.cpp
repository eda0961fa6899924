#include "logfile/CsvFormat.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

namespace {

using Labels = std::array<QString, 8>;
using Values = std::array<std::optional<double>, 8>;

const QLocale unitedStates(QLocale::English, QLocale::UnitedStates);
const QDateTime afternoon(QDate(2026, 12, 7), QTime(17, 34, 26));

Labels startLabels() {
    Labels labels;
    for (int i = 0; i < 8; ++i)
        labels[i] = QStringLiteral("Label %1").arg(i + 1);
    return labels;
}

} // namespace

class CsvFormatTest : public QObject {
    Q_OBJECT
  private slots:
    void header_data() {
        QTest::addColumn<Labels>("labels");
        QTest::addColumn<Labels>("units");
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QByteArray>("expected");
        const Labels units{"unit", "us", "us", "us", "us", "us", "us", "us"};
        const QByteArray first = "KT7,Data Logger,RS232,Vx1\r\n";
        const QByteArray unitLine = ",,unit,us,us,us,us,us,us,us\r\n";
        QTest::newRow("start-up texts")
            << startLabels() << units << QByteArray("UTF-8")
            << first + ",,Label 1,Label 2,Label 3,Label 4,Label 5,Label 6,Label 7,Label 8\r\n" +
                   unitLine;
        Labels odd = startLabels();
        odd[0] = "a,b";                           // written unchanged: later columns shift
        odd[1] = QString::fromUtf8("Gr\u00fcn");  // Latin-1 stays one byte
        odd[2] = QString::fromUtf8("\u03a9");     // outside Latin-1
        odd[3] = QString::fromUtf8("\U0001F600"); // surrogate pair, still one character
        odd[4] = QString();
        QTest::newRow("comma, Latin-1 and beyond")
            << odd << units << QByteArray("ISO-8859-1")
            << first + ",,a,b,Gr\xfcn,?,?,,Label 6,Label 7,Label 8\r\n" + unitLine;
        Labels typed = startLabels();
        typed[0] = QString::fromUtf8("Temp \u00b0C");
        typed[1] = QString::fromUtf8("Kraft N\u00b7m");
        typed[2] = QString::fromUtf8("\U0001F600");
        typed[3] = QString(QChar(0xD800)); // a lone surrogate has no UTF-8 form
        Labels degreeUnits = units;
        degreeUnits[0] = QString::fromUtf8("\u00b0C");
        QTest::newRow("UTF-8 desktop")
            << typed << degreeUnits << QByteArray("UTF-8")
            << first + ",,Temp \xc2\xb0"
                       "C,Kraft N\xc2\xb7m,\xf0\x9f\x98\x80,?,Label 5,Label 6,Label 7,"
                       "Label 8\r\n,,\xc2\xb0"
                       "C,us,us,us,us,us,us,us\r\n";
    }
    void header() {
        QFETCH(Labels, labels);
        QFETCH(Labels, units);
        QFETCH(QByteArray, codePage);
        QFETCH(QByteArray, expected);
        QCOMPARE(csvHeader(labels, units, CodePage::named(codePage)), expected);
    }

    void dateTime_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        const QDate day(2026, 12, 8);
        QTest::newRow("US afternoon") << unitedStates << afternoon << "12/7/2026 5:34:26 PM";
        QTest::newRow("US midnight") << unitedStates << QDateTime(day, QTime(0, 0)) << "12/8/2026";
        QTest::newRow("US midnight, fraction of a second")
            << unitedStates << QDateTime(day, QTime(0, 0, 0, 400)) << "12/8/2026";
        QTest::newRow("US one second past midnight")
            << unitedStates << QDateTime(day, QTime(0, 0, 1)) << "12/8/2026 12:00:01 AM";
        QTest::newRow("German two-digit year widened")
            << QLocale(QLocale::German, QLocale::Germany) << afternoon << "07.12.2026 17:34:26";
        QTest::newRow("time zone at the front of the pattern")
            << QLocale(QLocale::Chinese, QLocale::China) << afternoon << "2026/12/7 17:34:26";
        QTest::newRow("C locale is ISO") << QLocale::c() << afternoon << "2026-12-07 17:34:26";
        QTest::newRow("C locale midnight")
            << QLocale::c() << QDateTime(day, QTime(0, 0)) << "2026-12-08";
        QTest::newRow("invalid time") << unitedStates << QDateTime() << "";
    }
    void dateTime() {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        QCOMPARE(dateTimeField(when, locale), expected);
        // The field reads back to the second it shows.
        const QTime shown = when.time();
        const QDateTime back =
            when.isValid()
                ? QDateTime(when.date(), QTime(shown.hour(), shown.minute(), shown.second()))
                : QDateTime();
        QCOMPARE(parseDateTimeField(expected, locale), back);
    }

    void dataRow_data() {
        QTest::addColumn<int>("sample");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<Values>("values");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("only device 1") << 1 << afternoon << Values{12.5}
                                       << QByteArray("1,12/7/2026 5:34:26 PM,12.5,,,,,,,\r\n");
        QTest::newRow("devices 1 and 3")
            << 2 << afternoon.addSecs(5) << Values{-3.0, std::nullopt, 0.000012}
            << QByteArray("2,12/7/2026 5:34:31 PM,-3,,1.2E-05,,,,,\r\n");
        QTest::newRow("midnight") << 3 << QDateTime(QDate(2026, 12, 8), QTime(0, 0)) << Values{12.5}
                                  << QByteArray("3,12/8/2026,12.5,,,,,,,\r\n");
        QTest::newRow("every device, zero and large")
            << 2147483647 << afternoon
            << Values{0.0, 3.0, 0.00012, 1e15, 123456789012345.0, -0.5, 1.0 / 3, 32000.0}
            << QByteArray("2147483647,12/7/2026 5:34:26 PM,0,3,0.00012,1E+15,123456789012345,"
                          "-0.5,0.333333333333333,32000\r\n");
    }
    void dataRow() {
        QFETCH(int, sample);
        QFETCH(QDateTime, when);
        QFETCH(Values, values);
        QFETCH(QByteArray, expected);
        QCOMPARE(csvDataRow(sample, when, unitedStates, CodePage::utf8(), values), expected);
    }

    // A desktop with a decimal comma changes the date field only, never the numbers.
    void dataRowOnACommaDecimalDesktop() {
        QCOMPARE(csvDataRow(1, afternoon, QLocale(QLocale::German, QLocale::Germany),
                            CodePage::utf8(), Values{12.5, std::nullopt, -0.25}),
                 QByteArray("1,07.12.2026 17:34:26,12.5,,-0.25,,,,,\r\n"));
    }
};

KT7_REGISTER_TEST(CsvFormatTest)
#include "CsvFormatTest.moc"
