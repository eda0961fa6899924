#pragma once

#include "link/DeviceSlots.h"
#include "link/LinkController.h"
#include "logfile/LogSplit.h"
#include "publish/PublishingSink.h"
#include "record/Recorder.h"
#include "session/LoggerOptions.h"
#include "session/SamplingSettings.h"
#include "setup/SetupFileStore.h"

#include <QObject>
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
    DeviceSlots& deviceSlots() { return table; }
    LinkController& links() { return linker; }
    const LinkController& links() const { return linker; }
    const Recorder& recording() const { return recorder; }
    Recorder& recording() { return recorder; }
    SamplingSettings& sampling() { return settings; }
    CodePage codePage() const { return pages; }
    QString logFolder() const { return folder; }

    void setLabel(int index, const QString& text) { table[index].label = text; }
    void setTare(int index, bool on, const QString& shownValue) {
        table.setTare(index, on, shownValue);
    }

    // One sampling tick: the slots' ports polled, value captions taken, rows logged.
    void tick(TickView& view);
    void restartInterval() { recorder.restartInterval(); }

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
    SetupFileResult saveSetup(const QString& path, const SetupData& data);
    // The set-up applied straight to the session, for a logger without a window (the window
    // applies it through its controls). False when line 1 holds a value that cannot be used.
    bool applySetup(const QString& path, const SetupFileContent& content);
    // The end of publishing: up to `seconds` for what is still queued, whatever the broker does;
    // how many were delivered meanwhile and how many not is told, and returned for the status.
    QString finishPublishing(int seconds);
    // The command line's sampling options over the set-up file's.
    void applyOptions(const LoggerOptions& options);
    // The devices with a port, for links made several at once.
    QList<int> devicesWithPort() const;

    void publishWith(MqttPublisher& publisher);
    MqttPublisher* publisher() const { return publishTo; }
    // "rows written n, devices linked n (1 2), tick n ms mean n ms longest, not logged: n
    // (device 1: n), ...; MQTT ..." for a status line.
    QString statusText() const;

  signals:
    void logFileStarted(const QString& path);

  private:
    void tellTickFailure(const QString& text);
    QString freeFileName(const QString& base) const;

    Clock& clock;
    MessageBoxes& messages;
    const CodePage pages;
    const QString folder;
    Recorder recorder;
    DeviceSlots table;
    LinkController linker;
    SamplingSettings settings;
    std::unique_ptr<PublishingSink> publishing;
    MqttPublisher* publishTo = nullptr;
    LogSplit logSplit;
    QString splitBase; // the file name the dated names are made from
    QDateTime fileOpened;
};

} // namespace kt7
