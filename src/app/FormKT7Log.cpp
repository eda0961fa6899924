// The CSV log: "New" and "Close", and the rows the sampling tick writes.
#include "app/Form_KT7.h"
#include "platform/widgets/LayoutKit.h"

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

void Form_KT7::ComFile_Click(int index) {
    if (index == 0 && OptDev[2]->isChecked() && logSession.logFileName().isEmpty()) {
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

// The file chosen, or none when the dialog was cancelled.
QString Form_KT7::SelectLogFile() {
    return platform.dialogs.getSaveFileName(
        {QStringLiteral("CSV Files (*.csv)|*.csv"), logSession.logFolder(), QStringLiteral("csv")});
}

// Opens the chosen (or default) file with its header; the window counts a log as open only
// when the file could really be written.
bool Form_KT7::startLog() {
    return logSession.openLog(SelectLogFile(), LoggerSession::LogOpening::ByUser);
}

void Form_KT7::closeLog() {
    const std::optional<QString> failure = logSession.closeLog();
    closeLogControls();
    if (failure)
        tellLoggingStopped(*failure);
}

void Form_KT7::closeLogControls() {
    setCheckValue(CheckLogAuto, 0);
    markLogButtons(false);
    FrameTare->setEnabled(true);
    FrameCurVal->setEnabled(true);
}

// One message that says logging stopped, why, and the last sample the file is known to hold;
// Total Samples shows the same number, so the window never claims rows the file lacks.
void Form_KT7::tellLoggingStopped(const QString& text) {
    LabelSamples->setText(QString::number(logSession.sampleCount()));
    platform.messages.show(text);
}

void Form_KT7::markLogButtons(bool logOpen) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    LayoutKit::setBackground(ComFile[0], logOpen ? QColor(Qt::white) : face);
    LayoutKit::setBackground(ComFile[1], logOpen ? face : QColor(Qt::white));
}

} // namespace kt7
