#include "common/DeviceLine.h"
#include "common/TestRegistry.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSerialPorts.h"
#include "record/Recorder.h"

#include <QTest>
#include <stdexcept>

using namespace kt7test;

namespace {
// A view whose caption step throws in every tick with data.
class BrokenCaption : public kt7::TickView {
  public:
    void showLinesPerTick(int) override { throw std::runtime_error("caption gone"); }
    void showSampleCount(qint32 count) override { shown = count; }
    void loggingStopped(const QString&, const kt7::LogFileError&, qint32) override {}
    qint32 shown = -1;
};
} // namespace

// A step of the tick that throws is skipped, counted and told once, and the others still run.
class TickFailureTest : public QObject {
    Q_OBJECT

  private slots:
    void failingStepIsCountedAndToldOnce() {
        FakeClock clock;
        FakeSerialPorts ports;
        ports.addPort(1);
        auto port = ports.create();
        port->setPortNumber(1);
        QVERIFY(port->open().ok());
        kt7::Recorder recorder(clock, kt7::CodePage::utf8(), QLocale::c());
        QStringList told;
        recorder.onStepFailure([&told](const QString& text) { told << text; });
        QTemporaryDir folder;
        QVERIFY(recorder.startLog(folder.filePath("log.csv"), "header\r\n").ok);
        kt7::TickControls controls;
        controls.devices[0] = {true, port.get(), QStringLiteral("kg"), {}};
        controls.autoSample = 1;
        controls.fastMode = true;
        BrokenCaption view;
        for (int tick = 1; tick <= 3; ++tick) {
            ports.send(1, deviceLine(QByteArray::number(tick), "kg"));
            clock.advanceSeconds(1);
            recorder.tick(controls, view);
        }
        QCOMPARE(recorder.stepFailures(), 3);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains("lines per tick") && told[0].contains("caption gone"),
                 qPrintable(told[0]));
        QCOMPARE(view.shown, 3); // the rows after the failing step were written
    }
};

KT7_REGISTER_TEST(TickFailureTest)
#include "TickFailureTest.moc"
