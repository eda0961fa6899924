// The set-up file: read, saved from the session's settings and slots, and applied to them in
// one way for both front ends.
#include "session/LoggerSession.h"

#include "platform/MessageBoxes.h"
#include "setup/SetupFileStore.h"

namespace kt7 {

std::optional<SetupFileContent> LoggerSession::readSetup(const QString& path) {
    SetupFileResult loaded = SetupFileStore(pages).load(path);
    if (!loaded.ok) {
        messages.show(loaded.message);
        return std::nullopt;
    }
    return std::move(loaded.content);
}

SetupFileResult LoggerSession::saveSetup(const QString& path, const SetupChartPart& chart) {
    SetupData data;
    data.general = {settings.autoSample, settings.fastMode, settings.intervalMode,
                    settings.intervalText, chart.xPoints};
    for (int i = 0; i < DeviceCount; ++i) {
        const DeviceSlot& slot = table[i];
        data.devices[i] = {chart.yAuto[i],  chart.yMax[i],       chart.yMin[i],
                           slot.portNumber, slot.tareOn ? 1 : 0, slot.label};
    }
    const SetupFileResult saved = SetupFileStore(pages).save(path, data);
    if (!saved.ok)
        messages.show(saved.message);
    return saved;
}

LoggerSession::SetupApplied
LoggerSession::applySetup(const QString& path, const SetupFileContent& content, TareFrom tare,
                          const std::function<bool(int device, int port)>& offered) {
    SetupApplied applied;
    const auto& general = *content.general;
    // The mode is one choice of two: a field that is false leaves the other's choice standing.
    const SetupSampling sampling = readSetupSampling(general);
    if (sampling.autoSample)
        setAutoSample(*sampling.autoSample);
    if (sampling.fast && *sampling.fast)
        setFastMode(true);
    if (sampling.sec && *sampling.sec)
        setFastMode(false);
    // Line 1 stops at its first unusable value; the user must learn that the rest of the file
    // was not applied.
    if (sampling.firstInvalidField != 0) {
        messages.show(setupFieldInvalidText(path, sampling.firstInvalidField));
        return applied;
    }
    setIntervalText(toText(general[3]));
    applied.whole = true;
    for (int i = 0; i < DeviceCount; ++i)
        if (content.devices[i])
            applyDevice(i, *content.devices[i], tare, offered, applied);
    return applied;
}

void LoggerSession::applyDevice(int index, const std::array<SetupValue, 6>& fields, TareFrom tare,
                                const std::function<bool(int, int)>& offered,
                                SetupApplied& applied) {
    DeviceSlot& slot = table[index];
    if (const std::optional<qint16> on = toInt16(fields[4]); on && (*on == 0 || *on == 1)) {
        if ((*on == 1) != slot.tareOn) {
            if (tare == TareFrom::ShownValue) {
                table.setTare(index, *on == 1, slot.valueText);
            } else {
                slot.tareOn = *on == 1;
                slot.tareAtLink = slot.tareOn;
                slot.tare = TareOffset::zero();
            }
        }
    }
    slot.label = toText(fields[5]);
    const std::optional<qint16> port = toInt16(fields[3]);
    if (!port || *port == 0)
        return;
    if (!offered(index, *port)) {
        messages.show(QStringLiteral("Device ") + QString::number(index + 1) +
                      QStringLiteral(" COM") + toText(fields[3]) + QStringLiteral(" is Null"));
        return;
    }
    applied.ports[index] = *port;
    // Choosing the port a device already has changes nothing, a link included.
    if (slot.portNumber != *port)
        linker.choosePort(index, *port);
}

void LoggerSession::applyOptions(const LoggerOptions& options) {
    if (options.autoSample)
        settings.autoSample = 1;

    if (options.fastMode)
        setFastMode(*options.fastMode);
    // --fast asks for every reading and nothing else: the interval rows that Fast mode from a
    // set-up file adds (a repeat of the newest reading every so many seconds) are left out.
    if (options.everySeconds)
        settings.intervalText = QString::number(*options.everySeconds);
    else if (options.fastMode.value_or(false))
        settings.intervalText.clear();
}

QList<int> LoggerSession::devicesWithPort() const {
    QList<int> devices;
    for (int i = 0; i < DeviceCount; ++i)
        if (table[i].portNumber != 0)
            devices << i;
    return devices;
}

} // namespace kt7
