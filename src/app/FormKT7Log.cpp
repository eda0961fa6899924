// The CSV log: "New" and "Close", and the rows the sampling tick writes.
#include "app/Form_KT7.h"
#include "app/LayoutKit.h"
#include "logfile/CsvFormat.h"

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
            st.SampleCount = 0;
            lastSampleInFile = 0;
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
        platform.messages.show(
            QStringLiteral("No log was started. The file \"%1\" already holds data and was left "
                           "untouched.")
                .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    std::array<QString, DeviceCount> labels;
    std::array<QString, DeviceCount> units;
    for (int i = 0; i < DeviceCount; ++i) {
        labels[i] = TextLab[i]->text();
        units[i] = LabMSUnit[i]->text();
    }
    const LogFileError created = log.create(path, csvHeader(labels, units, codePage));
    if (!created.ok) {
        platform.messages.show(created.permissionDenied
                                   ? QStringLiteral("Log File was opened.")
                                   : QStringLiteral("The log file \"%1\" could not be created: %2")
                                         .arg(QDir::toNativeSeparators(path), created.reason));
        return false;
    }
    st.LogFileName = path;
    return true;
}

void Form_KT7::closeLog() {
    const QString path = st.LogFileName;
    const LogFileError closed = shutLog();
    if (!closed.ok)
        tellLoggingStopped(path, closed);
}

LogFileError Form_KT7::shutLog() {
    setCheckValue(CheckLogAuto, 0);
    pendingRows.clear();
    const bool wasOpen = log.isOpen();
    const LogFileError closed = log.close();
    st.LogFileName.clear();
    markLogButtons(false);
    FrameTare->setEnabled(true);
    FrameCurVal->setEnabled(true);
    return wasOpen ? closed : LogFileError::success();
}

// One message that says logging stopped, why, and the last sample the file is known to hold;
// Total Samples is set to the same number, so the window never claims rows the file lacks.
void Form_KT7::tellLoggingStopped(const QString& path, const LogFileError& cause) {
    const QString file = QDir::toNativeSeparators(path);
    QString text;
    qint32 last = lastSampleInFile;
    if (cause.fileGone) {
        text = QStringLiteral("Logging stopped: the log file \"%1\" is no longer where it was "
                              "written: %2. The last sample written to it is number %3.");
    } else if (cause.notOnDisk) {
        last = static_cast<qint32>(std::min<qint64>(log.rowsOnDisk(), lastSampleInFile));
        text = QStringLiteral("Logging stopped: the log file \"%1\" could not be written to the "
                              "disk: %2. The last sample known to be on the disk is number %3.");
    } else {
        text = QStringLiteral("Logging stopped: the log file \"%1\" could not be written: %2. The "
                              "last sample in the file is number %3.");
    }
    st.SampleCount = last;
    LabelSamples->setText(QString::number(st.SampleCount));
    platform.messages.show(text.arg(file, cause.reason, QString::number(last)));
}

void Form_KT7::markLogButtons(bool logOpen) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    LayoutKit::setBackground(ComFile[0], logOpen ? QColor(Qt::white) : face);
    LayoutKit::setBackground(ComFile[1], logOpen ? face : QColor(Qt::white));
}

void Form_KT7::WriteLogRow(const std::array<std::optional<double>, DeviceCount>& values) {
    ++st.SampleCount;
    pendingRows +=
        csvDataRow(st.SampleCount, platform.clock.now(), QLocale::system(), codePage, values);
}

// One write and flush per tick, after its rows. A row that cannot be written is never lost
// silently: the log is closed first, so no later tick writes, then the user is told.
void Form_KT7::finishTickRows() {
    if (!log.isOpen())
        return;
    LogFileError result = LogFileError::success();
    if (!pendingRows.isEmpty())
        result = log.appendRows(std::exchange(pendingRows, {}));
    if (result.ok) {
        lastSampleInFile = st.SampleCount;
        result = log.syncIfDue(platform.clock.now());
    }
    if (result.ok)
        return;
    // Closed first, so no later tick writes; the close's own outcome adds nothing to the cause.
    const QString path = st.LogFileName;
    shutLog();
    tellLoggingStopped(path, result);
}

} // namespace kt7
