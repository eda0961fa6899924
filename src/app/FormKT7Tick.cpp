// The once-per-second sampling tick and the sampling controls. The session runs the tick's data
// path and keeps the sampling settings; the window passes each change on and shows what the tick
// reports.
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"
#include "session/LogMessages.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kt7 {

void Form_KT7::TimerRecAI_Timer() {
    logSession.tick(*this);
}

void Form_KT7::showPoll(const PollResult& poll) {
    for (int i = 0; i < DeviceCount; ++i)
        if (poll.valueLabels[i])
            LabMSData[i]->setText(*poll.valueLabels[i]);
}

void Form_KT7::showLinesPerTick(int lines) {
    CWGraph1->setAxisCaption(ChartComponent::XAxis,
                             QStringLiteral("1/%1 sec ").arg(QString::number(lines)));
}

void Form_KT7::rescaleAutoAxes() {
    for (int i = 0; i < DeviceCount; ++i)
        if (checkValue(ChY_Auto[i]) == 1)
            CWGraph1->rescaleAxis(ChartComponent::yAxisOf(i));
}

void Form_KT7::showSampleCount(qint32 count) {
    LabelSamples->setText(QString::number(count));
}

void Form_KT7::manualRequestTaken() {
    setCheckValue(CheckLogManual, 0);
}

void Form_KT7::showIntervalCount(const QString& intervalText, qint32 count) {
    LabInvCount->setText(intervalText + QStringLiteral(" Sec  *Count  ") + QString::number(count));
}

void Form_KT7::loggingStopped(const QString& path, const LogFileError& cause, qint32 lastSample) {
    closeLogControls();
    tellLoggingStopped(loggingStoppedText(path, cause, lastSample));
}

// The chart's share of every tick that completed a line, while the chart is switched on.
void Form_KT7::ChartFeed::readingsPolled(const SampleBlock& block, const QDateTime&,
                                         const TickControls&) {
    if (checkValue(window.ChChartEnable) == 1)
        window.CWGraph1->appendBlock(block);
}

void Form_KT7::CheckLogAuto_Click() {
    logSession.setAutoSample(checkValue(CheckLogAuto));
}

void Form_KT7::TextLogInterval_Change() {
    if (const QString text = logSession.setIntervalText(TextLogInterval->text());
        text != TextLogInterval->text())
        TextLogInterval->setText(text);
}

} // namespace kt7
