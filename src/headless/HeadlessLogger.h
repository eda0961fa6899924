#pragma once

#include "platform/core/ServiceNotifier.h"
#include "session/LoggerOptions.h"
#include "session/LoggerSession.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace kt7 {

// Logging without a window: the session's devices linked from the set-up file, its tick once a
// second into the CSV log, a status line now and then. Messages the window would show in a box go
// to the error output with the same wording.
class HeadlessLogger : public QObject, private TickView {
    Q_OBJECT
  public:
    using StatusOutput = std::function<void(const QString& line)>;
    // The exit code when the set-up cannot be read or no log can be written.
    static constexpr int CannotLog = 2;

    HeadlessLogger(LoggerOptions options, SerialPortFactory& ports, Clock& clock,
                   MessageBoxes& errors, StatusOutput status, CodePage codePage, QString logFolder);

    void publishWith(MqttPublisher& publisher) { session.publishWith(publisher); }
    void setAlarms(const AlarmSettings& settings) { session.setAlarmSettings(settings); }
    // Reads the set-up and links its devices; the log opens and the ticks start once they are
    // linked. 0, or the exit code when that is already known.
    int start();
    // Logs what arrived since the last tick, closes the log and tells the last status: 0, or the
    // exit code when that failed.
    int finish();
    void tick();
    // SIGHUP: the log goes on in its next file at once.
    void startNewFile() { session.startNewFile(*this); }
    QString statusLine() const;
    const LoggerSession& loggerSession() const { return session; }

  signals:
    // Logging cannot go on (the log could not be written); the program should end with code.
    void cannotGoOn(int code);

  private:
    void startLogging();
    void report(const QString& more = {});
    void loggingStopped(const QString& path, const LogFileError& cause, qint32 lastSample) override;

    const LoggerOptions options;
    Clock& clock;
    MessageBoxes& errors;
    const StatusOutput status;
    LoggerSession session;
    const ServiceNotifier serviceManager;
    QTimer tickTimer;
    QTimer statusTimer;
    bool starting = false;
    bool stopped = false; // logging stopped by itself
    int startCode = 0;
};

} // namespace kt7
