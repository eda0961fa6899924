#pragma once

#include "logfile/LogFileLoader.h"
#include "logfile/LogReader.h"
#include "measure/MeasureSource.h"
#include "viewer/LogChart.h"

#include <QFile>
#include <QLocale>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <span>
#include <vector>

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace kt7 {

class AlarmSpans;
class ChartInteraction;
class DeviceLegend;
class FileDialogs;
class MessageBoxes;

// A window that shows a saved log as a plot, titled with the file's name. With "Follow" it reads
// the rows appended to the file once a second, so a log still being written can be watched.
// A large log is read in the background: the window shows at once, with a note of how far the
// reading got, and the traces appear when it is done.
class LogViewer : public QWidget {
    Q_OBJECT

  public:
    static constexpr int FollowIntervalMs = 1000;
    // From this size on a log is read in the background.
    static constexpr qint64 BackgroundFromBytes = 4 * 1024 * 1024;

    LogViewer(const QString& path, FileDialogs& dialogs, MessageBoxes& messages,
              QWidget* parent = nullptr, const QLocale& locale = QLocale());

    // Asks for a log with the open dialog and shows it in a new viewer window that deletes
    // itself when closed; nullptr when the user cancelled.
    static LogViewer* openWithDialog(FileDialogs& dialogs, MessageBoxes& messages,
                                     const QString& folder, QWidget* parent);

    LogChart* chart() const { return plot; }
    ChartInteraction* tools() const { return interaction; }
    DeviceLegend* legend() const { return deviceLegend; }
    AlarmSpans* alarms() const { return alarmSpans; }
    QString noteText() const;
    qint64 rowCount() const;
    bool isLoading() const { return loader != nullptr; }

  signals:
    // The file has been read from the start and its rows are shown.
    void loaded();

  private:
    void buildWindow();
    QVBoxLayout* buildLayout();
    MeasureSource readoutSource() const;
    void connectControls();
    void load();
    void showLoaded(LoadedLog&& log);
    void showTimeAxis();
    void readNew();
    void showAllAgain();
    void showState();
    void buildMeasuring();
    void showDevice(int device, bool shown);
    void showAlarm(double from, double to);
    void showLegend();
    std::span<const double> rowKeys() const;
    void exportSpan(bool workbook);
    QString keyText(double key) const;
    QString timeText(double seconds) const;

    QString path;
    QLocale locale;
    FileDialogs& dialogs;
    MessageBoxes& messages;
    LogChart* plot = nullptr;
    ChartInteraction* interaction = nullptr;
    DeviceLegend* deviceLegend = nullptr;
    AlarmSpans* alarmSpans = nullptr;
    QCheckBox* timeBox = nullptr;
    QCheckBox* followBox = nullptr;
    QLabel* rowsLabel = nullptr;
    QLabel* noteLabel = nullptr;
    QTimer followTimer;
    QTimer progressTimer;
    std::unique_ptr<LogFileLoader> loader; // while a large file is read
    std::unique_ptr<LogReader> reader;
    qint64 readOffset = 0;
    QString openError;
    bool fileGone = false; // Follow found the file deleted or moved
    bool userMovedView = false;
};

} // namespace kt7
