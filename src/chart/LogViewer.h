#pragma once

#include "chart/LogChart.h"
#include "logfile/LogReader.h"

#include <QFile>
#include <QLocale>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;

namespace kt7 {

class ChartInteraction;
class DeviceLegend;
class FileDialogs;
class MessageBoxes;

// A window that shows a saved log as a plot, titled with the file's name. With "Follow" it reads
// the rows appended to the file once a second, so a log still being written can be watched.
class LogViewer : public QWidget {
    Q_OBJECT

  public:
    static constexpr int FollowIntervalMs = 1000;

    LogViewer(const QString& path, FileDialogs& dialogs, MessageBoxes& messages,
              QWidget* parent = nullptr, const QLocale& locale = QLocale());

    // Asks for a log with the open dialog and shows it in a new viewer window that deletes
    // itself when closed; nullptr when the user cancelled.
    static LogViewer* openWithDialog(FileDialogs& dialogs, MessageBoxes& messages,
                                     const QString& folder, QWidget* parent);

    LogChart* chart() const { return plot; }
    ChartInteraction* tools() const { return interaction; }
    DeviceLegend* legend() const { return deviceLegend; }
    QString noteText() const;
    qint64 rowCount() const;

  private:
    void buildWindow();
    void load();
    void readNew();
    void readFrom(QFile& file, DevicePoints& points);
    void keepKeys(const LogRows& rows);
    void showState();
    void buildMeasuring();
    void showDevice(int device, bool shown);
    void showLegend();
    const std::vector<double>& rowKeys() const;
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
    QCheckBox* timeBox = nullptr;
    QCheckBox* followBox = nullptr;
    QLabel* rowsLabel = nullptr;
    QLabel* noteLabel = nullptr;
    QTimer followTimer;
    std::unique_ptr<LogReader> reader;
    qint64 readOffset = 0;
    QString openError;
    bool userMovedView = false;
    // Sample number and time of every row, for the read-out.
    std::vector<double> sampleNumbers;
    std::vector<double> seconds;
};

} // namespace kt7
