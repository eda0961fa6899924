#pragma once

#include "acquisition/SampleBlock.h"
#include "measure/MeasureSource.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <array>
#include <functional>
#include <qcustomplot.h>

class QMenu;
class QWidget;

namespace kt7 {

class ChartMeasuring;
class FileDialogs;
class MessageBoxes;

// Makes a plot of eight device traces a measuring tool: wheel zoom, drag pan, a read-out at the
// hovered sample, cursors A and B with their read-out and statistics, a "paused" marker and a
// right-click menu for export. The zoom and pan are QCustomPlot's own; this class only chooses
// which axes they act on and tells the owner that the user moved the view, so the owner can stop
// following new data. Cursors stand on a still view: unless allowed always, they come with the
// pause and go when the chart returns to live.
class ChartInteraction : public QObject {
    Q_OBJECT

  public:
    // What the read-out and the measuring tools show: which devices, with which name and unit,
    // how a key reads, and the rows the cursors stand on.
    using ReadoutSource = MeasureSource;

    ChartInteraction(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs,
                     FileDialogs& dialogs, MessageBoxes& messages);

    // Row lookups the source leaves out come from the graphs (see withGraphRows).
    void setReadoutSource(ReadoutSource source);
    void setExportFolder(const QString& folder) { exportFolder = folder; }
    void setPausedText(const QString& text);
    void setCursorsAlways(bool always);
    ChartMeasuring* measuring() const { return measure; }
    // Actions the owner adds to the right-click menu, below the chart's own.
    void setMenuExtras(std::function<void(QMenu& menu)> extras) { menuExtras = std::move(extras); }

    // Shows or hides the "paused" marker inside the plot.
    void showPaused(bool paused);
    bool pausedMarkerShown() const;

    // The read-out at the sample nearest to a pixel position of the plot; hides it when the
    // position holds no sample. Lines are the key, then one per shown device.
    void showReadoutAt(const QPointF& pixel);
    void hideReadout();
    QStringList readoutLines() const;
    QList<QColor> readoutColours() const;

    // The right-click menu, with the cursor entries acting at a pixel position; the caller owns
    // it.
    QMenu* createContextMenu(QWidget* parent, const QPointF& at = {});
    void savePngWithDialog();
    void savePdfWithDialog();
    void copyToClipboard();

  signals:
    void viewMovedByUser();
    void backToLiveRequested();
    void openLogRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void chooseZoomAxes(const QPointF& pixel);
    QString askForFile(const QString& filter, const QString& suffix);
    bool exportWith(const std::function<bool()>& save);
    void placeReadout(const QPointF& pixel, int lines);
    QSharedPointer<QCPGraphDataContainer> pointsOf(int device) const;

    QCustomPlot& plot;
    std::array<QCPGraph*, DeviceCount> graphs;
    FileDialogs& dialogs;
    MessageBoxes& messages;
    ReadoutSource readout;
    QString exportFolder;
    QCPLayer* overlay = nullptr;
    QCPItemText* pausedMarker = nullptr;
    QCPItemStraightLine* cursorLine = nullptr;
    std::array<QCPItemText*, DeviceCount + 1> readoutTexts{};
    std::array<QCPItemTracer*, DeviceCount> tracers{};
    int shownLines = 0;
    QPointF pressAt;
    bool dragging = false; // the left button moved past the threshold since its press
    ChartMeasuring* measure = nullptr;
    bool cursorsAlways = false;
    std::function<void(QMenu&)> menuExtras;
};

} // namespace kt7
