// Zoom, pan, pause, read-out and export on the live chart, and the viewer for saved logs.
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"
#include "interaction/ChartInteraction.h"
#include "interaction/WindowAlarms.h"
#include "viewer/LogViewer.h"

namespace kt7 {

void Form_KT7::attachChartTools() {
    auto* tools = new ChartInteraction(*CWGraph1, CWGraph1->deviceGraphs(), platform.dialogs,
                                       platform.messages);
    tools->setObjectName(QStringLiteral("ChartTools"));
    tools->setExportFolder(logSession.logFolder());
    ChartInteraction::ReadoutSource readout;
    readout.shows = [this](int device) { return logSession.slot(device).wanted(); };
    readout.name = [](int device) { return tr("Device %1").arg(device + 1); };
    readout.unit = [this](int device) { return logSession.slot(device).unit; };
    readout.keyText = [](double key) { return tr("Point %1").arg(QString::number(key, 'f', 0)); };
    tools->setReadoutSource(std::move(readout));
    connect(tools, &ChartInteraction::viewMovedByUser, CWGraph1, &ChartComponent::pause);
    connect(tools, &ChartInteraction::backToLiveRequested, CWGraph1, &ChartComponent::resumeLive);
    connect(CWGraph1, &ChartComponent::pausedChanged, tools, &ChartInteraction::showPaused);
    connect(tools, &ChartInteraction::openLogRequested, this, &Form_KT7::openLogViewer);
}

void Form_KT7::startAlarms(const QString& namedPath) {
    auto* alarms = new WindowAlarms(*CWGraph1, CWGraph1->deviceGraphs(), LabMSData,
                                    {[this](int d) { return logSession.slot(d).wanted(); },
                                     [this](int d) { return logSession.slot(d).label; },
                                     [this](int d) { return logSession.slot(d).unit; }});
    connect(alarms, &WindowAlarms::settingsApplied, &logSession, &LoggerSession::setAlarmSettings);
    connect(&logSession, &LoggerSession::alarmChanged, alarms, &WindowAlarms::take);
    connect(&logSession, &LoggerSession::alarmProblem, alarms, &WindowAlarms::tell);
    alarms->readFile(namedPath, platform.messages);
    CWGraph1->findChild<ChartInteraction*>()->setMenuExtras(
        [alarms](QMenu& menu) { alarms->addMenuEntry(menu); });
}

void Form_KT7::openLogViewer() {
    LogViewer::openWithDialog(platform.dialogs, platform.messages, logSession.logFolder(), this);
}

} // namespace kt7
