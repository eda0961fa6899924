// The CSV log: "New" and "Close", and the rows the sampling tick writes.
#include "app/Form_KT7.h"
#include "app/LayoutKit.h"
#include "logfile/CsvFormat.h"
#include "record/LoggerMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace kt7 {

namespace {
const QString DefaultLogName = QStringLiteral("KT7_LogData.csv");
}

void Form_KT7::ComFile_Click(int index) {
    if (index == 0 && OptDev[2]->isChecked() && st.LogFileName.isEmpty()) {
        if (startLog()) {
            LabelSamples->setText(QStringLiteral("0"));
            markLogButtons(true);
            FrameTare->setEnabled(false);
            FrameCurVal->setEnabled(false);
        }
    } else if (index == 1) {
        closeLog();
    }
}

void Form_KT7::SelectLogFile() {
    const QString chosen = platform.dialogs.getSaveFileName(
        {QStringLiteral("CSV Files (*.csv)|*.csv"), st.LogFolder, QStringLiteral("csv")});
    if (!chosen.isEmpty())
        st.LogFileName = chosen;
}

// Opens the chosen (or default) file with its header; the window counts a log as open only
// when the file could really be written.
bool Form_KT7::startLog() {
    SelectLogFile();
    const bool cancelled = st.LogFileName.isEmpty();
    const QString path = cancelled ? st.LogFolder + DefaultLogName : st.LogFileName;
    st.LogFileName.clear();
    if (cancelled && QFileInfo(path).size() > 0) {
        platform.messages.show(logHoldsDataText(path));
        return false;
    }
    std::array<QString, DeviceCount> labels;
    std::array<QString, DeviceCount> units;
    for (int i = 0; i < DeviceCount; ++i) {
        labels[i] = TextLab[i]->text();
        units[i] = LabMSUnit[i]->text();
    }
    const LogFileError created = recorder.startLog(path, csvHeader(labels, units, codePage));
    if (!created.ok) {
        platform.messages.show(created.permissionDenied ? QStringLiteral("Log File was opened.")
                                                        : logNotCreatedText(path, created.reason));
        return false;
    }
    mirrorCounts();
    st.LogFileName = path;
    return true;
}

void Form_KT7::closeLog() {
    const QString path = st.LogFileName;
    const LogFileError closed = recorder.stopLog();
    closeLogControls();
    if (!closed.ok)
        tellLoggingStopped(path, closed, recorder.settleAfterFailure(closed));
}

void Form_KT7::closeLogControls() {
    setCheckValue(CheckLogAuto, 0);
    st.LogFileName.clear();
    markLogButtons(false);
    FrameTare->setEnabled(true);
    FrameCurVal->setEnabled(true);
}

// One message that says logging stopped, why, and the last sample the file is known to hold;
// Total Samples shows the same number, so the window never claims rows the file lacks.
void Form_KT7::tellLoggingStopped(const QString& path, const LogFileError& cause,
                                  qint32 lastSample) {
    mirrorCounts();
    LabelSamples->setText(QString::number(st.SampleCount));
    platform.messages.show(loggingStoppedText(path, cause, lastSample));
}

void Form_KT7::markLogButtons(bool logOpen) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    LayoutKit::setBackground(ComFile[0], logOpen ? QColor(Qt::white) : face);
    LayoutKit::setBackground(ComFile[1], logOpen ? face : QColor(Qt::white));
}

} // namespace kt7
