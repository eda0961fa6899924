#pragma once

#include "RealPortsWindow.h"
#include "common/ScratchHome.h"
#include "common/SimulatorProcess.h"

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>
#include <memory>

namespace e2e {

// A slow ramp with three decimals: no value repeats within a run.
QStringList rampArguments(int linesPerSecond = 10);

// One simulated instrument on COM 1, in a home whose other port entries lead nowhere (and COM 1's
// too once the instrument has ended), with every line it sends logged; then, when asked, the
// window on it logging device 1 Fast.
struct InstrumentRig {
    // The home and the simulator, given simArguments beyond the port and its sent log.
    bool startInstrument(const QStringList& simArguments);
    // The window on the home; HOME points there while this lives.
    void openWindow();
    // Device 1 linked and logged into csvPath, the window opened first if need be; the link's
    // reading is kept in linkValue.
    bool startLogging(const QString& csvPath);
    bool start(const QStringList& simArguments, const QString& csvPath) {
        return startInstrument(simArguments) && startLogging(csvPath);
    }

    int samples() const;
    bool logging() const { return !f->window->session().logFileName().isEmpty(); }
    // The rows of a log file, whole and numbered 1, 2, 3, ...; a fault text when they are not.
    QString rowsOf(const QString& path, QList<QByteArray>& rows) const;

    QTemporaryDir home;
    QString sentLog;
    std::unique_ptr<kt7test::SimulatorProcess> simulator;
    std::unique_ptr<kt7test::HomeOverride> isolated;
    std::unique_ptr<RealPortsWindow> f;
    QByteArray linkValue;
};

} // namespace e2e
