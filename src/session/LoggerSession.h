#pragma once

#include "link/DeviceSlots.h"
#include "link/LinkController.h"
#include "logfile/LogSplit.h"
#include "notify/AlarmWatch.h"
#include "publish/PublishingSink.h"
#include "record/Recorder.h"
#include "session/LoggerOptions.h"
#include "session/SamplingSettings.h"
#include "session/SetupChartPart.h"
#include "setup/SetupFileStore.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace kt7 {

class Clock;
class MessageBoxes;

// The logger both front ends show: the eight device slots, the link controller that owns their
// ports, the recorder and its log, the sampling settings, the log opening rules, the set-up file
// and publishing. The window and the logger without a window pass requests to it and show what
// it reports.
class LoggerSession : public QObject {
    Q_OBJECT
  public:
    static const QString DefaultLogName;
    static const QString DefaultSetupName;

    LoggerSession(SerialPortFactory& ports, Clock& clock, MessageBoxes& messages, CodePage codePage,
                  QString logFolder, QLocale dateLocale = QLocale::system());
    ~LoggerSession() override;

    const DeviceSlot& slot(int index) const { return table[index]; }
    const Recorder& recording() const { return recorder; }
    qint32 sampleCount() const { return recorder.sampleCount(); }
    const SamplingSettings& samplingSettings() const { return settings; }
    CodePage codePage() const { return pages; }
    QString logFolder() const { return folder; }
    // The window's design captions ("Label 1", "us") are no labels or units of a logger without
    // one: its log header holds only what the set-up file and the links give.
    void clearCaptions();
    // The log folder made when missing; told when that fails.
    bool prepareLogFolder();

    // The devices: label, tare (the value given is where it is taken from: the value shown now),
    // port choice, link, port test, and the ports behind the COM numbers.
    void setLabel(int index, const QString& text) { table[index].label = text; }
    void setTare(int index, bool on, const QString& shownValue) {
        table.setTare(index, on, shownValue);
    }
    void choosePort(int index, int portNumber) { linker.choosePort(index, portNumber); }
    bool linkClicked(int index, bool wanted) { return linker.linkClicked(index, wanted); }
    bool testPort(int index) { return linker.test(index); }
    void linkSeveral(const QList<int>& devices, LinkController::Several how,
                     std::function<void()> done = {}) {
        linker.linkSeveral(devices, how, std::move(done));
    }
    void relinkRound() { linker.relinkRound(); }
    QTimer* relinkTimer() { return linker.relinkTimer(); }
    void closeAllPorts() { linker.closeAll(); }
    // Every break of a linked port is told, not only the first after a link by hand.
    void tellEveryLoss(bool every) { linker.tellEveryLoss(every); }
    SerialPort& port(int index) const { return linker.port(index); }
    QString portName(int index) const { return linker.portName(index); }
    bool portExists(int portNumber) { return linker.portExists(portNumber); }
    QList<int> presentPortNumbers() { return linker.presentPortNumbers(); }
    QString devicePathOf(int portNumber) { return linker.devicePathOf(portNumber); }

    // The sampling settings, as the user sets them; each takes effect at the next tick.
    // Switching automatic sampling on (1) starts the interval count again.
    void setAutoSample(int value);
    void setFastMode(bool fast);
    // The interval text as it stands once a value of 1 or less became "1".
    QString setIntervalText(const QString& text);
    void requestSample(bool on) { settings.manualRequest = on; }
    void addSink(RecordSink* sink) { recorder.addSink(sink); }

    // One sampling tick: the slots' ports polled, value captions taken, rows logged.
    void tick(TickView& view);

    // ByUser: a file chosen in the window's dialog, or the default one when the dialog was
    // cancelled (refused if it holds data). Unattended: any file that holds data is refused, so
    // a restart never wipes the last run's log.
    enum class LogOpening { ByUser, Unattended };
    // The log: the path given, or the default one in the log folder when none is, with the slots'
    // labels and units in its header. Told through the message boxes; false when none started.
    // An unattended log that will get no row (automatic sampling off) is told too.
    bool openLog(const QString& path, LogOpening how);
    QString logFileName() const { return recorder.logOpen() ? recorder.logPath() : QString(); }
    // New files by day, hour or size from the next log on.
    void setLogSplit(const LogSplit& split) { logSplit = split; }
    // Between ticks: the log goes on in its next file at once (SIGHUP), and in a tick when the
    // file was cut short. Without new files by date, a file moved away or emptied (by logrotate)
    // is opened anew under its name; else the next file is the first free one with the date.
    // False when logging stopped (told to the view).
    bool startNewFile(TickView& view);

    // Closes the log: nothing, or the message that its last rows could not be kept (and the
    // last sample known to be in the file, which the count is set back to).
    std::optional<QString> closeLog();
    // The message when logging stopped by itself or at the close: what and the last sample.
    QString stoppedText(const QString& path, const LogFileError& cause);

    // The set-up file read, or nullopt after its message was shown.
    std::optional<SetupFileContent> readSetup(const QString& path);
    // The file from the sampling settings and the slots; the chart's part is the window's.
    SetupFileResult saveSetup(const QString& path, const SetupChartPart& chart);

    // Where a tare that a set-up file switches on takes its value from.
    enum class TareFrom { ShownValue, FirstReadingOfLink };
    struct SetupApplied {
        bool whole = false;                   // line 1 was usable, so the devices were applied
        std::array<int, DeviceCount> ports{}; // the port each device was given (0: none)
    };
    // Line 1 in the order of its fields up to the first unusable one (told, and then nothing
    // more is applied); then per device its tare, label and port, each on its own. A value equal
    // to the present one changes nothing. A port that `offered` does not offer the device is
    // told ("Device n COMx is Null") and the device keeps its port.
    SetupApplied applySetup(const QString& path, const SetupFileContent& content, TareFrom tare,
                            const std::function<bool(int device, int port)>& offered);
    // The end of publishing: up to `seconds` for what is still queued, whatever the broker does;
    // how many were delivered meanwhile and how many not is told, and returned for the status.
    QString finishPublishing(int seconds);
    // The command line's sampling options over the set-up file's.
    void applyOptions(const LoggerOptions& options);
    // The devices with a port, for links made several at once.
    QList<int> devicesWithPort() const;

    // Limits, judged on every polled reading from the next tick; the alarms of the old ones end.
    void setAlarmSettings(const AlarmSettings& settings);
    const AlarmSettings& alarmSettings() const { return alarms.settings(); }
    const std::optional<AlarmEvent>& activeAlarm(int device, AlarmKind kind) const {
        return alarms.active(device, kind);
    }
    int activeAlarmCount() const { return alarms.activeCount(); }
    bool alarmCommandsDone(int timeoutMs) { return alarms.commandsDone(timeoutMs); }

    void publishWith(MqttPublisher& publisher);
    MqttPublisher* publisher() const { return publishTo; }
    // "rows written n, devices linked n (1 2), tick n ms mean n ms longest, not logged: n
    // (device 1: n), ...; MQTT ..." for a status line.
    QString statusText() const;

  signals:
    void logFileStarted(const QString& path);
    // A link, break or relink that no request of the front end made.
    void slotChanged(int index);
    void linked(int index, bool again);
    void alarmChanged(const kt7::AlarmEvent& event);
    // The alarm record or the alarm command failed: each cause once.
    void alarmProblem(const QString& text);

  private:
    void tellTickFailure(const QString& text);
    void applyDevice(int index, const std::array<SetupValue, 6>& fields, TareFrom tare,
                     const std::function<bool(int, int)>& offered, SetupApplied& applied);
    QString freeFileName(const QString& base) const;
    void fileStarted(const QString& path);

    Clock& clock;
    MessageBoxes& messages;
    const CodePage pages;
    const QString folder;
    Recorder recorder;
    DeviceSlots table;
    LinkController linker;
    AlarmWatch alarms;
    SamplingSettings settings;
    std::unique_ptr<PublishingSink> publishing;
    MqttPublisher* publishTo = nullptr;
    LogSplit logSplit;
    QString splitBase; // the file name the dated names are made from
    QDateTime fileOpened;
};

} // namespace kt7
