#include "statistics/SpanStatistics.h"
#include "common/TestRegistry.h"
#include "statistics/DurationText.h"
#include "statistics/ReadingStatistics.h"

#include <QTest>
#include <cmath>
#include <numbers>
#include <qcustomplot.h> // the points the live chart measures

using kt7::ReadingStatistics;

namespace {

constexpr double NoReading = std::numeric_limits<double>::quiet_NaN();
constexpr double Tolerance = 1e-9;

struct Expected {
    qint64 readings = 0;
    qint64 empty = 0;
    std::optional<double> minimum, maximum, mean, deviation, first, last, slope;
};

struct Case {
    const char* name;
    QVector<QCPGraphData> points;
    Expected expected;
};

// y = offset + step * k at keys start + k, k = 1..n; cells with k % gapEvery == 1 are empty.
QVector<QCPGraphData> ramp(int n, double start, double offset, double step, int gapEvery = 0) {
    QVector<QCPGraphData> points;
    for (int k = 1; k <= n; ++k) {
        const bool gap = gapEvery > 0 && k % gapEvery == 1;
        points.append({start + k, gap ? NoReading : offset + step * k});
    }
    return points;
}

// offset + amplitude * sin(2 pi k / period) at keys start + k, k = 0 .. periods * period - 1.
QVector<QCPGraphData> sine(int periods, int period, double start, double offset, double amplitude) {
    QVector<QCPGraphData> points;
    for (int k = 0; k < periods * period; ++k)
        points.append(
            {start + k, offset + amplitude * std::sin(2 * std::numbers::pi * k / period)});
    return points;
}

// The closed forms: a ramp over n keys has the sample variance step^2 n (n + 1) / 12; a sine
// over whole periods of P points has mean offset and sample variance A^2 / 2 * n / (n - 1), and
// its least-squares slope is -6 A cot(pi / P) / (n^2 - 1).
std::vector<Case> cases() {
    const double epoch = 1.8e9; // keys in seconds since 1970
    const int n = 100'000;
    const int m = n / 2;
    const double a = 4.0;
    const int periods = 250;
    const int period = 400;
    const int s = periods * period;
    const double pi = std::numbers::pi;
    return {
        {"ramp on a large offset",
         ramp(n, 0, 1e6, 1e-3),
         {n, 0, 1e6 + 1e-3, 1e6 + 1e-3 * n, 1e6 + 1e-3 * (n + 1) / 2.0,
          1e-3 * std::sqrt(n * (n + 1.0) / 12.0), 1e6 + 1e-3, 1e6 + 1e-3 * n, 1e-3}},
        {"falling ramp at keys in seconds since 1970, every other cell empty",
         ramp(n, epoch, -50.0, -0.25, 2),
         // the readings are at k = 2j, j = 1..m: a ramp of m steps of -0.5
         {m, m, -50.0 - 0.25 * n, -50.5, -50.0 - 0.5 * (m + 1) / 2.0,
          0.5 * std::sqrt(m * (m + 1.0) / 12.0), -50.5, -50.0 - 0.25 * n, -0.25}},
        {"sine over whole periods",
         sine(periods, period, 0, 20.0, a),
         {s, 0, 20.0 - a, 20.0 + a, 20.0, a * std::sqrt(s / (2.0 * (s - 1))), 20.0,
          20.0 - a * std::sin(2 * pi / period),
          -6 * a / std::tan(pi / period) / (double(s) * s - 1)}},
        // Squares summed about zero would keep no digit of the spread here; the offset is
        // small enough that the readings themselves still hold the sine to 1e-10.
        {"small sine on a large offset at keys in seconds since 1970",
         sine(periods, period, epoch, 1e6, 0.5),
         {s, 0, 1e6 - 0.5, 1e6 + 0.5, 1e6, 0.5 * std::sqrt(s / (2.0 * (s - 1))), 1e6,
          1e6 - 0.5 * std::sin(2 * pi / period),
          -3.0 / std::tan(pi / period) / (double(s) * s - 1)}},
        {"one reading: no spread, no slope",
         {{5, NoReading}, {6, 2.5}, {7, NoReading}},
         {1, 2, 2.5, 2.5, 2.5, {}, 2.5, 2.5, {}}},
        {"no reading: a dash for every figure",
         {{5, NoReading}, {6, NoReading}},
         {0, 2, {}, {}, {}, {}, {}, {}, {}}},
        {"no row at all", {}, {0, 0, {}, {}, {}, {}, {}, {}, {}}},
    };
}

bool near(double actual, double expected) {
    return std::abs(actual - expected) <= Tolerance * std::max(std::abs(expected), 1e-300);
}

std::vector<std::pair<Case, bool>> allCases() {
    std::vector<std::pair<Case, bool>> both;
    for (const Case& c : cases())
        both.insert(both.end(), {{c, false}, {c, true}});
    return both;
}

QString describe(const std::optional<double>& value) {
    return value ? QString::number(*value, 'g', 17) : QStringLiteral("none");
}

} // namespace

class SpanStatisticsTest : public QObject {
    Q_OBJECT
  private slots:
    void closedFormsHoldToOnePartInABillion() {
        for (const auto& [c, columns] : allCases()) {
            // The same readings as points and as the log's columns.
            std::vector<double> keys, values;
            for (const QCPGraphData& p : c.points) {
                keys.push_back(p.key);
                values.push_back(p.value);
            }
            const ReadingStatistics got =
                columns ? kt7::statisticsOf(keys.data(), values.data(), keys.size())
                        : kt7::statisticsOf(c.points.constBegin(), c.points.constEnd());
            const Expected& want = c.expected;
            QVERIFY2(got.readings == want.readings && got.emptyCells == want.empty, c.name);
            const std::pair<const char*, std::pair<std::optional<double>, std::optional<double>>>
                figures[] = {{"minimum", {got.minimum, want.minimum}},
                             {"maximum", {got.maximum, want.maximum}},
                             {"mean", {got.mean, want.mean}},
                             {"deviation", {got.standardDeviation, want.deviation}},
                             {"first", {got.first, want.first}},
                             {"last", {got.last, want.last}},
                             {"slope", {got.slope, want.slope}}};
            for (const auto& [figure, pair] : figures) {
                const auto& [actual, expected] = pair;
                const bool same = actual.has_value() == expected.has_value() &&
                                  (!actual || near(*actual, *expected));
                QVERIFY2(same, qPrintable(
                                   QStringLiteral("%1, %2: %3, expected %4")
                                       .arg(c.name, figure, describe(actual), describe(expected))));
            }
        }
    }

    // What the table and the clipboard get: a point as the decimal separator under every
    // desktop setting, a dash where a figure is not defined, the rate per second on a time axis.
    void tableTextHasPointsAndDashes() {
        kt7::SpanStatistics table;
        table.timeKeys = true;
        const QVector<QCPGraphData> two{{10, 12.5}, {12, 13.0}};
        table.devices.push_back(
            {0, "Flow, in", "l/min", kt7::statisticsOf(two.begin(), two.end())});
        ReadingStatistics none;
        none.emptyCells = 2;
        table.devices.push_back({3, "L4", "", none});
        const QStringList lines = table.tabSeparated().split(u'\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("Device\tUnit\tReadings\tEmpty\tMinimum\tMaximum\tMean\t"
                                          "Std deviation\tPeak to peak\tFirst\tLast\tRate per s"));
        QCOMPARE(lines[1], QStringLiteral("Flow, in\tl/min\t2\t0\t12.5\t13\t12.75\t"
                                          "0.353553390593274\t0.5\t12.5\t13\t0.25"));
        QCOMPARE(lines[2], QStringLiteral("L4\t\t0\t2\t-\t-\t-\t-\t-\t-\t-\t-"));
        QCOMPARE(lines[3], QString());
    }

    void durationsReadAsMinutesAndSeconds_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("tenths") << 12.4 << "12.4 s";
        QTest::newRow("minute and tenths") << 72.4 << "1 min 12.4 s";
        QTest::newRow("rounds up into the next minute") << 59.96 << "1 min 0 s";
        QTest::newRow("hours keep their zero minutes") << 7205.0 << "2 h 0 min 5 s";
        QTest::newRow("days") << 90061.5 << "1 d 1 h 1 min 1.5 s";
        QTest::newRow("backwards") << -72.0 << "-1 min 12 s";
        QTest::newRow("none") << 0.0 << "0 s";
    }
    void durationsReadAsMinutesAndSeconds() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(kt7::durationText(seconds), text);
    }
};

KT7_REGISTER_TEST(SpanStatisticsTest)
#include "SpanStatisticsTest.moc"
