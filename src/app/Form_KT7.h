#pragma once

#include "app/WindowState.h"
#include "platform/Platform.h"
#include "platform/core/ComPortMap.h"
#include "platform/widgets/CheckValue.h"
#include "session/LoggerSession.h"

#include <QMargins>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QAbstractButton;

namespace kt7 {

class ChartComponent;

// The main window: every control and the chart, over the logger session that holds the devices,
// their ports and the log. Handlers keep the names users of the original tool know them by; each
// reads the controls, calls the session and shows the result.
class Form_KT7 : public QWidget, private TickView {
    Q_OBJECT
  public:
    explicit Form_KT7(const Platform& platform, QWidget* parent = nullptr);
    ~Form_KT7() override;

    // The window's own values; the log's name and counts are the session's.
    const WindowState& state() const { return st; }
    const LoggerSession& session() const { return logSession; }
    // Every logged row (or reading, as its settings say) goes to the publisher too.
    void publishWith(MqttPublisher& publisher) { logSession.publishWith(publisher); }
    // New log files by day, hour or size, when the settings file asks for them.
    void splitLogs(const LogSplit& split) { logSession.setLogSplit(split); }
    ChartComponent* chart() const { return CWGraph1; }
    QTimer* sampleTimer() const { return TimerRecAI; }
    SerialPort& devicePort(int index) const { return logSession.port(index); }

    // Start-up, run once by the constructor before the window is shown.
    void Form_Load();
    void startWithSetup(const QString& path, bool link);
    // Limits from --alarms FILE or alarms.conf, the bar, the lines and the menu's "Alarms…".
    void startAlarms(const QString& namedPath);

    void OptDev_Click(int index);
    void CombMSCom_Click(int index);
    void Ch_Link_Click(int index);
    void ComTest_Click(int index);
    void Tare_Click(int index);
    void ComSetFile_Click(int index);
    void TimerRecAI_Timer();
    void CheckLogAuto_Click();
    void TextLogInterval_Change();
    void ComFile_Click(int index);
    void ChSetY_Click();
    void ChY_Auto_Click(int index);
    void TextYMax_Change(int index);
    void TextYMin_Change(int index);
    void ApplyYLimits(int index);
    void Text_Chart_Pts_Click() {}
    void Text_Chart_Pts_KeyUp(int keyCode, Qt::KeyboardModifiers shift);
    void MSComm1_OnComm() {}
    // A port list is about to open: look for ports plugged in or pulled out since.
    void CombMSCom_DropDown(int index);
    // Once a second while a device waits for its broken port to return.
    void TimerRelink_Timer() { logSession.relinkRound(); }
    QTimer* relinkTimer() { return logSession.relinkTimer(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    void buildPages();
    void buildLoggerPage();
    void buildDeviceColumns();
    void connectHandlers();

    void applyWindowSize();
    void fitToFrame();
    void colourDevices();
    void probePorts();
    void attachChartTools();
    void openLogViewer();

    // The device's column as its slot has it: link box and caption, value and unit.
    void showDevice(int index);
    void showLink(int index);
    void showReading(int index);
    void showTare(int index);
    void showSampling();
    void showSetup(const SetupFileContent& content, const std::array<int, DeviceCount>& ports);
    void numberNewPorts();
    void describePortEntries();
    QString SelectLogFile();
    bool startLog();
    void closeLog();
    void closeLogControls();
    void tellLoggingStopped(const QString& text);

    // What the tick shows in the controls.
    void showPoll(const PollResult& poll) override;
    void showLinesPerTick(int lines) override;
    void rescaleAutoAxes() override;
    void showSampleCount(qint32 count) override;
    void manualRequestTaken() override;
    void showIntervalCount(const QString& intervalText, qint32 count) override;
    void loggingStopped(const QString& path, const LogFileError& cause, qint32 lastSample) override;

    class ChartFeed : public RecordSink {
      public:
        explicit ChartFeed(Form_KT7& window) : window(window) {}
        void readingsPolled(const SampleBlock& block, const QDateTime&,
                            const TickControls&) override;

      private:
        Form_KT7& window;
    };
    void markLogButtons(bool logOpen);
    std::array<int, DeviceCount> restoreSetup(const QString& path);
    SetupChartPart chartSetup() const;
    bool saveSetup(const QString& path);

    Platform platform;
    WindowState st;
    LoggerSession logSession;
    ChartFeed chartFeed{*this};
    std::optional<QMargins> fittedFrame; // the window frame the height was last fitted to
    ComPortMap portMap; // the COM numbers and the system's ports, as last looked up

    // Controls, named as the user-facing layout names them.
    std::array<QRadioButton*, 3> OptDev{};
    QGroupBox* FrameLogger = nullptr;
    QGroupBox* FramLinkSet = nullptr;
    QGroupBox* FramComSet = nullptr;
    QGroupBox* FrameY = nullptr;
    QGroupBox* FrameTare = nullptr;
    QGroupBox* FrameCurVal = nullptr;
    QGroupBox* FrameLogFile = nullptr;
    QGroupBox* FrameInterval = nullptr;
    QGroupBox* FrameLogMode = nullptr;
    QGroupBox* FrameChartSet = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* LabelSamples = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LabInvCount = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QPushButton*, 2> ComFile{};
    std::array<QRadioButton*, 2> OptLogMode{};
    QLineEdit* TextLogInterval = nullptr;
    QCheckBox* CheckLogAuto = nullptr;
    QPushButton* CheckLogManual = nullptr;
    QCheckBox* ChChartEnable = nullptr;
    QCheckBox* ChSetY = nullptr;
    QLineEdit* Text_Chart_Pts = nullptr;
    std::array<QPushButton*, 2> ComSetFile{};
    std::array<QComboBox*, DeviceCount> CombMSCom{};
    std::array<QPushButton*, DeviceCount> ComTest{};
    std::array<QPushButton*, DeviceCount> Ch_Link{};
    std::array<QPushButton*, DeviceCount> Tare{};
    std::array<QCheckBox*, DeviceCount> ChY_Auto{};
    std::array<QLineEdit*, DeviceCount> TextYMax{};
    std::array<QLineEdit*, DeviceCount> TextYMin{};
    std::array<QFrame*, DeviceCount> ShapeDevice{};
    std::array<QLabel*, DeviceCount> LabDev{};
    std::array<QLineEdit*, DeviceCount> TextLab{};
    std::array<QLabel*, DeviceCount> LabMSData{};
    std::array<QLabel*, DeviceCount> LabMSUnit{};
    ChartComponent* CWGraph1 = nullptr;
    QTimer* TimerRecAI = nullptr;
};

} // namespace kt7
