#include "record/Recorder.h"

#include "acquisition/IntervalRules.h"
#include "logfile/CsvFormat.h"
#include "platform/Clock.h"

#include <QElapsedTimer>
#include <algorithm>
#include <exception>

namespace kt7 {

// One failing step of the tick must never stop the others, and is never dropped without a trace.
template <typename Step> void Recorder::guarded(const char* name, Step&& step) {
    QString cause;
    try {
        step();
        return;
    } catch (const std::exception& error) {
        cause = QString::fromLocal8Bit(error.what());
    } catch (...) {
        cause = QStringLiteral("an unknown exception");
    }
    ++failedSteps;
    const QString text = QStringLiteral("A step of the sampling tick failed and was skipped (%1): "
                                        "%2. Further failures of this kind are counted, not told.")
                             .arg(QLatin1String(name), cause);
    if (!toldFailures.contains(text) && tellFailure) {
        toldFailures.insert(text);
        tellFailure(text);
    }
}

Recorder::Recorder(Clock& clock, CodePage codePage, QLocale dateLocale, LogFile::SyncFunction sync)
    : clock(clock), codePage(std::move(codePage)), dateLocale(std::move(dateLocale)),
      log(std::move(sync)) {}

const PollResult& Recorder::tick(const TickControls& c, TickView& view) {
    QElapsedTimer timer;
    timer.start();
    const QDateTime now = clock.now();
    interval += elapsed.update(now.time().second());

    lastPoll = {};
    manualTaken = false;
    PollResult& poll = lastPoll;
    guarded("poll", [&] {
        poll = poller.poll(c.devices);
        view.showPoll(poll);
    });
    // A tick whose data completed no line has nothing to chart, publish or log.
    const bool data = poll.hasRows();
    for (RecordSink* sink : sinks)
        guarded("readings to a consumer", [&] {
            if (data)
                sink->readingsPolled(poll.block, now, c);
        });
    guarded("lines per tick", [&] {
        if (data)
            view.showLinesPerTick(poll.lastPieceCount);
    });
    guarded("Y axes", [&] { view.rescaleAutoAxes(); });
    const bool logOpen = log.isOpen();
    guarded("Fast rows", [&] {
        if (logOpen && c.autoSample == 1 && data && c.fastMode) {
            const int rows = poll.block.rowCount();
            for (int r = 0; r < rows; ++r)
                writeRow(poll.block.row(r));
            for (int d = 0; d < DeviceCount; ++d)
                notLogged[d] += std::max(0, poll.lineCounts[d] - rows);
            view.showSampleCount(samples);
        }
    });
    // Only automatic sampling really switched off stops the interval count; partly on (2, from
    // a set-up file) keeps counting, so interval rows go on.
    if (c.autoSample == 0)
        restartInterval();
    guarded("interval row", [&] {
        const std::optional<int> seconds = intervalSeconds(c.intervalText);
        const bool due = seconds && interval >= *seconds;
        if (logOpen && (due || c.manualRequest) && data) {
            manualTaken = c.manualRequest;
            view.manualRequestTaken();
            writeRow(poll.block.row(poll.block.rowCount() - 1));
            view.showSampleCount(samples);
            interval = 0;
        }
    });
    guarded("interval count", [&] {
        if (logOpen && c.autoSample == 1 && data && c.intervalMode)
            view.showIntervalCount(c.intervalText, interval);
    });
    finishTick(view, c);
    tickDurations.add(timer.nsecsElapsed());
    return lastPoll;
}

void Recorder::restartInterval() {
    interval = 0;
    elapsed.resetStep();
}

void Recorder::writeRow(const std::array<std::optional<double>, DeviceCount>& values) {
    ++samples;
    const QDateTime when = clock.now();
    pendingRows += csvDataRow(samples, when, dateLocale, codePage, values);
    pendingRecords.push_back({samples, when, values});
}

// One write and flush per tick, after its rows. A row that cannot be written is never lost
// silently: the log is closed first, so no later tick writes, then the view is told.
void Recorder::finishTick(TickView& view, const TickControls& controls) {
    if (!log.isOpen())
        return;
    LogFileError result = LogFileError::success();
    if (!pendingRows.isEmpty()) {
        result = log.appendRows(pendingRows);
        // Cut short by another program: the rows go to the file the log goes on in.
        if (result.cutShort && goOnAfterCut) {
            goOnAfterCut(view);
            if (!log.isOpen())
                return; // it could not go on, and the view was told
            result = log.appendRows(pendingRows);
        }
        if (result.ok)
            fileBytes += pendingRows.size();
        pendingRows.clear();
    }
    std::vector<RecordedRow> written = std::exchange(pendingRecords, {});
    if (result.ok) {
        lastSampleInFile = samples;
        if (!written.empty())
            for (RecordSink* sink : sinks)
                guarded("rows to a consumer", [&] { sink->rowsLogged(written, controls); });
        result = log.syncIfDue(clock.now());
    }
    if (result.ok)
        return;
    const QString path = log.path();
    stopLog();
    view.loggingStopped(path, result, settleAfterFailure(result));
}

LogFileError Recorder::startLog(const QString& path, const QByteArray& header) {
    const LogFileError created = log.create(path, header);
    if (created.ok) {
        samples = 0;
        lastSampleInFile = 0;
        fileBytes = header.size();
        notLogged = {};
    }
    return created;
}

LogFileError Recorder::continueLog(const QString& path, const QByteArray& header, bool movedAway) {
    const LogFileError closed = log.close();
    if (!closed.ok && !(movedAway && closed.fileGone))
        return closed;
    // Rows still waiting for a file are not in the old one.
    lastSampleInFile = samples - static_cast<qint32>(pendingRecords.size());
    const LogFileError created = log.create(path, header);
    if (created.ok)
        fileBytes = header.size();
    return created;
}

LogFileError Recorder::stopLog() {
    pendingRows.clear();
    pendingRecords.clear();
    const bool wasOpen = log.isOpen();
    const LogFileError closed = log.close();
    return wasOpen ? closed : LogFileError::success();
}

qint32 Recorder::settleAfterFailure(const LogFileError& cause) {
    qint32 last = lastSampleInFile;
    if (!cause.fileGone && cause.notOnDisk)
        last = static_cast<qint32>(std::min<qint64>(log.rowsOnDisk(), lastSampleInFile));
    samples = last;
    return last;
}

} // namespace kt7
