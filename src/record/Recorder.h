#pragma once

#include "acquisition/DevicePoller.h"
#include "acquisition/ElapsedSeconds.h"
#include "logfile/LogFile.h"
#include "record/RecordSink.h"
#include "record/TickDurations.h"
#include "record/TickView.h"
#include "text/CodePage.h"

#include <QLocale>
#include <QSet>
#include <functional>
#include <vector>

namespace kt7 {

class Clock;

// The data path of the sampling tick without any widget: poll the linked devices, decide which
// rows this tick writes, write them to the log in one go, and hand readings and logged rows to
// the sinks. The window and the headless logger both run their ticks through it.
class Recorder {
  public:
    Recorder(Clock& clock, CodePage codePage, QLocale dateLocale, LogFile::SyncFunction sync = {});

    void addSink(RecordSink* sink) { sinks.push_back(sink); }
    // One tick with the devices and sampling settings given; the poll it made stays readable
    // until the next tick.
    const PollResult& tick(const TickControls& controls, TickView& view);

    // A step of the tick that throws is skipped and counted; each step and cause is told once.
    void onStepFailure(std::function<void(const QString&)> tell) { tellFailure = std::move(tell); }
    qint64 stepFailures() const { return failedSteps; }
    // Complete readings a Fast tick left out, per device: beyond the row count of the device
    // with the fewest lines, or beyond the most rows a tick takes.
    const std::array<qint64, DeviceCount>& readingsNotLogged() const { return notLogged; }

    // The log: created with its header, the sample count starting again from 0.
    LogFileError startLog(const QString& path, const QByteArray& header);
    // Between ticks: the log goes on in a new file with its own header, the sample numbers
    // going on too. A failure to keep the old file's rows or to create the new one is returned.
    // movedAway: the old file may have been moved away (by logrotate): that is no failure.
    LogFileError continueLog(const QString& path, const QByteArray& header, bool movedAway);
    // A log file cut short by another program (logrotate's copytruncate) is found as the tick
    // writes; goOn then starts the next file with continueLog, or stops the log and tells the
    // view. The tick's rows go to that next file. Without it, logging stops.
    void onFileCutShort(std::function<void(TickView&)> goOn) { goOnAfterCut = std::move(goOn); }
    // Drops rows not yet written and closes; success when no log was open.
    LogFileError stopLog();
    qint64 bytesInFile() const { return fileBytes; }
    bool logOpen() const { return log.isOpen(); }
    QString logPath() const { return log.path(); }
    // The last sample the file is known to hold after a failure, which the count is set back to.
    qint32 settleAfterFailure(const LogFileError& cause);

    qint32 sampleCount() const { return samples; }
    qint32 intervalCount() const { return interval; }
    void restartInterval();
    // The last tick wrote the row a manual sample request asked for.
    bool tookManualRequest() const { return manualTaken; }
    const TickDurations& durations() const { return tickDurations; }

    DevicePoller& devicePoller() { return poller; }

  private:
    template <typename Step> void guarded(const char* name, Step&& step);
    void writeRow(const std::array<std::optional<double>, DeviceCount>& values);
    void finishTick(TickView& view, const TickControls& controls);

    Clock& clock;
    const CodePage codePage;
    const QLocale dateLocale;
    DevicePoller poller;
    ElapsedSeconds elapsed;
    LogFile log;
    std::vector<RecordSink*> sinks;
    qint32 samples = 0;  // rows written since the log was started
    qint32 interval = 0; // seconds counted towards the next interval row
    qint32 lastSampleInFile = 0;
    QByteArray pendingRows; // this tick's rows, written in one go at its end
    std::vector<RecordedRow> pendingRecords;
    TickDurations tickDurations;
    PollResult lastPoll;
    std::function<void(const QString&)> tellFailure;
    std::function<void(TickView&)> goOnAfterCut;
    qint64 failedSteps = 0;
    bool manualTaken = false;
    qint64 fileBytes = 0;
    std::array<qint64, DeviceCount> notLogged{};
    QSet<QString> toldFailures;
};

} // namespace kt7
