// Saving and loading the set-up file: sampling options, X points and every device's settings.
#include "app/Form_KT7.h"
#include "setup/SetupFileStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kt7 {

namespace {
const QString& DefaultSetupName = LoggerSession::DefaultSetupName;

bool isCheckValue(std::optional<qint16> value, int highest) {
    return value && *value >= 0 && *value <= highest;
}
} // namespace

void Form_KT7::ComSetFile_Click(int index) {
    const FileDialogRequest request{QStringLiteral("KT7 Set Up Files (*.kt7)|*.kt7"), st.LogFolder,
                                    QStringLiteral("csv")};
    if (index == 0) {
        const QString chosen = platform.dialogs.getOpenFileName(request);
        const QString path = chosen.isEmpty() ? st.LogFolder + DefaultSetupName : chosen;
        // A cancelled dialog loads the default set-up only when there is one.
        if (chosen.isEmpty() && !QFileInfo::exists(path))
            return;
        restoreSetup(path);
    } else if (index == 1) {
        const QString chosen = platform.dialogs.getSaveFileName(request);
        saveSetup(chosen.isEmpty() ? st.LogFolder + DefaultSetupName : chosen);
    }
}

SetupData Form_KT7::currentSetup() const {
    SetupData data;
    data.general = {checkValue(CheckLogAuto), OptLogMode[0]->isChecked(),
                    OptLogMode[1]->isChecked(), TextLogInterval->text(), Text_Chart_Pts->text()};
    for (int i = 0; i < DeviceCount; ++i) {
        const int port =
            CombMSCom[i]->currentIndex() >= 0 ? CombMSCom[i]->currentData().toInt() : 0;
        data.devices[i] = {checkValue(ChY_Auto[i]), TextYMax[i]->text(), TextYMin[i]->text(), port,
                           checkValue(Tare[i]),     TextLab[i]->text()};
    }
    return data;
}

bool Form_KT7::saveSetup(const QString& path) {
    return logSession.saveSetup(path, currentSetup()).ok;
}

// Every value goes through its control, so each control reacts as if the user had changed it.
// Returns the port each device was given from the file (0 where none was).
std::array<int, DeviceCount> Form_KT7::restoreSetup(const QString& path) {
    std::array<int, DeviceCount> chosen{};
    const std::optional<SetupFileContent> loaded = logSession.readSetup(path);
    if (!loaded)
        return chosen;
    const SetupFileContent& content = *loaded;
    const auto& general = *content.general;
    // Line 1 stops at its first value no control can take; the user must learn that the rest
    // of the file was not loaded.
    const SetupSampling sampling = readSetupSampling(general);
    if (sampling.autoSample)
        setCheckValue(CheckLogAuto, *sampling.autoSample);
    if (sampling.fast)
        OptLogMode[0]->setChecked(*sampling.fast);
    if (sampling.sec)
        OptLogMode[1]->setChecked(*sampling.sec);
    if (sampling.firstInvalidField != 0) {
        platform.messages.show(setupFieldInvalidText(path, sampling.firstInvalidField));
        return chosen;
    }
    TextLogInterval->setText(toText(general[3]));
    Text_Chart_Pts->setText(toText(general[4]));

    for (int i = 0; i < DeviceCount; ++i) {
        if (!content.devices[i])
            continue;
        const auto& fields = *content.devices[i];
        if (const auto yAuto = toInt16(fields[0]); isCheckValue(yAuto, 2))
            setCheckValue(ChY_Auto[i], *yAuto);
        TextYMax[i]->setText(toText(fields[1]));
        TextYMin[i]->setText(toText(fields[2]));
        if (const auto tare = toInt16(fields[4]); isCheckValue(tare, 1))
            setCheckValue(Tare[i], *tare);
        TextLab[i]->setText(toText(fields[5]));
        const std::optional<qint16> port = toInt16(fields[3]);
        if (!port || *port == 0)
            continue;
        const int entry = CombMSCom[i]->findData(static_cast<int>(*port));
        if (entry >= 0) {
            CombMSCom[i]->setCurrentIndex(entry);
            chosen[i] = *port;
        } else {
            platform.messages.show(QStringLiteral("Device ") + QString::number(i + 1) +
                                   QStringLiteral(" COM") + toText(fields[3]) +
                                   QStringLiteral(" is Null"));
        }
    }
    return chosen;
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
    logSession.links().linkSeveral(devices, LinkController::Several::AsLinkButton);
}

} // namespace kt7
