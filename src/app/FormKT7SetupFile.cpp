// Saving and loading the set-up file: sampling options, X points and every device's settings.
#include "app/Form_KT7.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace kt7 {

namespace {
const QString& DefaultSetupName = LoggerSession::DefaultSetupName;

bool isCheckValue(std::optional<qint16> value, int highest) {
    return value && *value >= 0 && *value <= highest;
}
} // namespace

void Form_KT7::ComSetFile_Click(int index) {
    const FileDialogRequest request{QStringLiteral("KT7 Set Up Files (*.kt7)|*.kt7"),
                                    logSession.logFolder(), QStringLiteral("csv")};
    if (index == 0) {
        const QString chosen = platform.dialogs.getOpenFileName(request);
        const QString path = chosen.isEmpty() ? logSession.logFolder() + DefaultSetupName : chosen;
        // A cancelled dialog loads the default set-up only when there is one.
        if (chosen.isEmpty() && !QFileInfo::exists(path))
            return;
        restoreSetup(path);
    } else if (index == 1) {
        const QString chosen = platform.dialogs.getSaveFileName(request);
        saveSetup(chosen.isEmpty() ? logSession.logFolder() + DefaultSetupName : chosen);
    }
}

SetupChartPart Form_KT7::chartSetup() const {
    SetupChartPart chart;
    chart.xPoints = Text_Chart_Pts->text();
    for (int i = 0; i < DeviceCount; ++i) {
        chart.yAuto[i] = checkValue(ChY_Auto[i]);
        chart.yMax[i] = TextYMax[i]->text();
        chart.yMin[i] = TextYMin[i]->text();
    }
    return chart;
}

bool Form_KT7::saveSetup(const QString& path) {
    return logSession.saveSetup(path, chartSetup()).ok;
}

// The session applies the logger's part; the window then shows it, and restores its chart part
// through the chart controls, so each reacts as if the user had changed it. Returns the port each
// device was given from the file (0 where none was).
std::array<int, DeviceCount> Form_KT7::restoreSetup(const QString& path) {
    const std::optional<SetupFileContent> loaded = logSession.readSetup(path);
    if (!loaded)
        return {};
    const auto listed = [this](int device, int port) {
        return CombMSCom[device]->findData(port) >= 0;
    };
    const LoggerSession::SetupApplied applied =
        logSession.applySetup(path, *loaded, LoggerSession::TareFrom::ShownValue, listed);
    showSampling();
    if (applied.whole)
        showSetup(*loaded, applied.ports);
    return applied.ports;
}

void Form_KT7::showSampling() {
    const SamplingSettings& sampling = logSession.samplingSettings();
    const QSignalBlocker quietAuto(CheckLogAuto);
    const QSignalBlocker quietMode(OptLogMode[0]);
    const QSignalBlocker quietText(TextLogInterval);
    setCheckValue(CheckLogAuto, sampling.autoSample);
    OptLogMode[sampling.fastMode ? 0 : 1]->setChecked(true);
    TextLogInterval->setText(sampling.intervalText);
}

void Form_KT7::showSetup(const SetupFileContent& content,
                         const std::array<int, DeviceCount>& ports) {
    Text_Chart_Pts->setText(toText((*content.general)[4]));
    for (int i = 0; i < DeviceCount; ++i) {
        if (!content.devices[i])
            continue;
        const auto& fields = *content.devices[i];
        if (const auto yAuto = toInt16(fields[0]); isCheckValue(yAuto, 2))
            setCheckValue(ChY_Auto[i], *yAuto);
        TextYMax[i]->setText(toText(fields[1]));
        TextYMin[i]->setText(toText(fields[2]));
        showTare(i);
        {
            const QSignalBlocker quiet(TextLab[i]);
            TextLab[i]->setText(logSession.slot(i).label);
        }
        if (ports[i] != 0) {
            const QSignalBlocker quiet(CombMSCom[i]);
            CombMSCom[i]->setCurrentIndex(CombMSCom[i]->findData(ports[i]));
        }
        showLink(i);
    }
}

// "--setup FILE [--link]": the file loaded as "Open Set Up File" loads it, then every device the
// file gave a port linked as its link button links it, with the same messages, all in one wait
// that leaves the window responsive.
void Form_KT7::startWithSetup(const QString& path, bool link) {
    const std::array<int, DeviceCount> ports = restoreSetup(path);
    if (!link)
        return;
    QList<int> devices;
    for (int i = 0; i < DeviceCount; ++i)
        if (ports[i] != 0)
            devices << i;
    logSession.linkSeveral(devices, LinkController::Several::AsLinkButton);
}

} // namespace kt7
