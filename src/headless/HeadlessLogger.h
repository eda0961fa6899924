#pragma once

#include "headless/HeadlessOptions.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "publish/PublishingSink.h"
#include "record/Recorder.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace kt7 {

// Logging without a window: the set-up file's devices linked, the recorder ticking once a second
// into the CSV log, a status line now and then. Messages the window would show in a box go to
// the error output with the same wording.
class HeadlessLogger : public QObject, private TickView {
    Q_OBJECT
  public:
    using StatusOutput = std::function<void(const QString& line)>;
    // The exit code when the set-up cannot be read or no log can be written.
    static constexpr int CannotLog = 2;

    HeadlessLogger(HeadlessOptions options, SerialPortFactory& ports, Clock& clock,
                   MessageBoxes& errors, StatusOutput status, CodePage codePage, QString logFolder);
    ~HeadlessLogger() override;

    void publishWith(MqttPublisher& publisher);
    // Reads the set-up, links its devices, opens the log and starts ticking: 0, or the exit code.
    int start();
    // Closes the log and tells the last status: 0, or the exit code when the close failed.
    int finish();
    void tick();
    QString statusLine() const;
    const Recorder& recording() const { return recorder; }

  signals:
    // Logging cannot go on (the log could not be written); the program should end with code.
    void cannotGoOn(int code);

  private:
    bool readSetup();
    bool openLog();
    void linkAll(bool tellFailures);
    void relinkWaiting();
    void onPortFailed(int index, const QString& reason);
    QString portName(int index) const;

    TickControls tickControls() override;
    void showPoll(const PollResult& poll) override;
    void loggingStopped(const QString& path, const LogFileError& cause, qint32 lastSample) override;

    const HeadlessOptions options;
    Clock& clock;
    MessageBoxes& errors;
    const StatusOutput status;
    const CodePage codePage;
    const QString logFolder;
    Recorder recorder;
    std::unique_ptr<PublishingSink> publishing;
    MqttPublisher* publisher = nullptr;

    std::array<std::unique_ptr<SerialPort>, DeviceCount> ports;
    std::array<int, DeviceCount> portNumbers{};
    std::array<bool, DeviceCount> linked{};
    std::array<bool, DeviceCount> waiting{};    // its port broke or never linked; tried again
    std::array<int, DeviceCount> relinkPause{}; // rounds to skip after a silent instrument
    std::array<bool, DeviceCount> tare{};
    std::array<TareOffset, DeviceCount> tares{};
    std::array<QString, DeviceCount> units;
    std::array<QString, DeviceCount> labels;
    int autoSample = 0;
    bool fastMode = false;
    bool intervalMode = false;
    QString intervalText;

    QTimer tickTimer;
    QTimer relinkTimer;
    QTimer statusTimer;
};

} // namespace kt7
