#include "chart/ChartComponent.h"
#include "chart/DeviceColours.h"
#include "common/TestRegistry.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using kt7::ChartComponent;

namespace {

// Eight plausible traces, each within its device's start range, with a gap in device 3. Device 2
// is a slow instrument with a value in every other row only: it must still show.
kt7::SampleBlock sampleTraces(int rows, int firstRow) {
    static constexpr std::array<double, kt7::DeviceCount> amplitude{800,  400, 700, 600,
                                                                    1500, 45,  350, 300};
    kt7::SampleBlock block;
    for (int d = 0; d < kt7::DeviceCount; ++d) {
        for (int r = 0; r < rows; ++r) {
            const int x = firstRow + r;
            const double phase = x / (25.0 + 6.0 * d) + d;
            const bool gap = (d == 2 && x >= 150 && x < 180) || (d == 1 && x % 2 == 1);
            block.columns[d].push_back(gap ? std::nullopt
                                           : std::optional(amplitude[d] * std::sin(phase)));
        }
    }
    return block;
}

int pixelsOfColour(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    return count;
}

} // namespace

class ChartRenderTest : public QObject {
    Q_OBJECT

  private slots:
    void rendersEightTracesInTheirColours() {
        ChartComponent chart;
        chart.resize(729, 290);
        chart.show();
        for (int row = 0; row < 360; row += 40)
            chart.appendBlock(sampleTraces(40, row));
        chart.setAxisCaption(1, QStringLiteral("1/1 sec "));
        chart.replot();
        const QImage image = chart.grab().toImage();
        QCOMPARE(image.size(), QSize(729, 290));

        const QString outputDir = qEnvironmentVariable("KT7_TEST_OUTPUT");
        QTemporaryDir fallback;
        const QString dir = outputDir.isEmpty() ? fallback.path() : outputDir;
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(QDir(dir).filePath(QStringLiteral("chart-eight-traces.png"))));

        // The traces sit inside the plot area; the axes outside it carry the same colours.
        const QRect plotArea = chart.axisRect()->rect().adjusted(1, 1, -1, -1);
        QVERIFY2(plotArea.width() > 729 / 2, "the Y axes leave too little room for the traces");
        for (int d = 0; d < kt7::DeviceCount; ++d) {
            const QColor colour = kt7::deviceColour(d);
            QVERIFY2(pixelsOfColour(image, plotArea, colour) > 100, qPrintable(colour.name()));
            QVERIFY2(pixelsOfColour(image, image.rect(), colour) >
                         pixelsOfColour(image, plotArea, colour),
                     qPrintable(colour.name()));
        }
        // Device 3 has no values from 150 to 179: nothing of its colour may bridge the gap.
        const int gapLeft = qRound(chart.xAxis->coordToPixel(152));
        const int gapRight = qRound(chart.xAxis->coordToPixel(177));
        const QRect gap(gapLeft, plotArea.top(), gapRight - gapLeft, plotArea.height());
        QCOMPARE(pixelsOfColour(image, gap, kt7::deviceColour(2)), 0);
    }
};

KT7_REGISTER_TEST(ChartRenderTest)
#include "ChartRenderTest.moc"
