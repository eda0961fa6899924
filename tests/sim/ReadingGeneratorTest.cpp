#include "ReadingGenerator.h"
#include "common/TestRegistry.h"

#include <QTest>
#include <charconv>

Q_DECLARE_METATYPE(Waveform)

// The lab waveforms sampled over one period: the facts a chart of them shows.
class ReadingGeneratorTest : public QObject {
    Q_OBJECT
  private slots:
    void labWaveformsHaveTheirShape_data() {
        QTest::addColumn<Waveform>("wave");
        QTest::addColumn<double>("topAt");    // share of the period where the maximum is reached
        QTest::addColumn<double>("topUntil"); // and where it is left
        QTest::addColumn<double>("near");     // how close to maximum and minimum, share of span
        // Heats to the hold value, stays there, cools back to where it started.
        QTest::newRow("ramp-hold") << Waveform::RampHold << 0.35 << 0.65 << 0.0;
        // Approaches the maximum without overshoot for half a period, then the minimum.
        QTest::newRow("settle") << Waveform::Settle << 0.5 << 0.5 << 0.01;
        // Rises quickly to the maximum and decays back to the baseline.
        QTest::newRow("pulse") << Waveform::Pulse << 0.04 << 0.04 << 0.001;
    }
    void labWaveformsHaveTheirShape() {
        QFETCH(Waveform, wave);
        QFETCH(double, topAt);
        QFETCH(double, topUntil);
        QFETCH(double, near);
        DeviceSettings settings;
        settings.wave = wave;
        settings.minimum = 20.0;
        settings.maximum = 80.0;
        settings.periodSeconds = 100.0;
        settings.decimals = 3;
        settings.phase = 0.5; // lab waveforms start at the start of their period all the same
        ReadingGenerator generator(settings, 1);
        const double tolerance = near * 60.0 + 0.001;
        const auto valueAt = [&](double seconds) {
            const std::string text = generator.textAt(seconds);
            double value = 0.0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            return value;
        };
        double previous = valueAt(0.0);
        QVERIFY2(previous <= 20.0 + tolerance, qPrintable(QString::number(previous)));
        for (double t = 0.25; t < 100.0; t += 0.25) {
            const double value = valueAt(t);
            const QByteArray where = "at " + QByteArray::number(t) +
                                     " s: " + QByteArray::number(value, 'f', 3) + " after " +
                                     QByteArray::number(previous, 'f', 3);
            QVERIFY2(value >= 20.0 - 1e-9 && value <= 80.0 + 1e-9, where.constData());
            if (t <= topAt * 100.0)
                QVERIFY2(value >= previous, where.constData()); // rises, never turns back
            else if (t > topUntil * 100.0)
                QVERIFY2(value <= previous, where.constData()); // falls, never overshoots
            if (t >= topAt * 100.0 && t <= topUntil * 100.0)
                QVERIFY2(value >= 80.0 - tolerance, where.constData()); // at the top
            previous = value;
        }
        QVERIFY2(valueAt(100.0) <= 20.0 + tolerance, "back where it started");
        QCOMPARE(valueAt(137.5), valueAt(37.5)); // and so on, period after period
    }
};

KT7_REGISTER_TEST(ReadingGeneratorTest)
#include "ReadingGeneratorTest.moc"
