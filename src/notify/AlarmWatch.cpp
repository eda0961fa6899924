#include "notify/AlarmWatch.h"

#include "publish/MqttPublisher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

namespace kt7 {

AlarmWatch::AlarmWatch(Captions captions) : captions(std::move(captions)) {}

AlarmWatch::~AlarmWatch() = default;

void AlarmWatch::setSettings(const AlarmSettings& settings, const QDateTime& now) {
    if (judge)
        judge->endAll(now);
    current = settings;
    judge.reset();
    if (settings.hasLimits())
        judge = std::make_unique<AlarmJudge>(settings,
                                             [this](const AlarmEvent& event) { handle(event); });
    command.reset();
    if (!settings.command.isEmpty())
        command = std::make_unique<AlarmCommand>(settings.command,
                                                 [this](const QString& text) { tellOnce(text); });
    publishWith(broker);
}

void AlarmWatch::logStarted(const QString& logPath) {
    record = std::make_unique<AlarmRecord>(logPath);
    // A record of the last run with this name would be taken for this log's.
    QFile::remove(record->path());
    for (int d = 0; d < DeviceCount; ++d)
        for (int k = 0; k < AlarmKindCount; ++k)
            if (raised[d][k])
                addToRecord(*raised[d][k], raisedSample[d][k]);
}

void AlarmWatch::addToRecord(const AlarmEvent& event, qint32 sample) {
    if (const QString failure = record->add(event, sample); !failure.isEmpty())
        tellOnce(QStringLiteral("The alarm record %1 could not be written: %2")
                     .arg(record->path(), failure));
}

// An alarm still active on the device stands for it (the last kind that is); else the event
// given, which says ok.
AlarmEvent AlarmWatch::deviceState(const AlarmEvent& otherwise) const {
    AlarmEvent state = otherwise;
    for (const std::optional<AlarmEvent>& alarm : raised[otherwise.device])
        if (alarm)
            state = *alarm;
    return state;
}

void AlarmWatch::publishWith(MqttPublisher* publisher) {
    broker = publisher;
    if (!broker)
        return;
    // The retained state of the last run would otherwise stand for this one's.
    for (int d = 0; d < DeviceCount; ++d) {
        if (current.devices[d].isEmpty())
            continue;
        const auto [label, unit] = captions(d);
        const DeviceLimits& limits = current.devices[d];
        const AlarmEvent state = deviceState({d, AlarmKind::High, AlarmState::Ended, std::nullopt,
                                              limits.high.value_or(limits.low.value_or(0)),
                                              QDateTime::currentDateTime(), std::nullopt});
        broker->publish(alarmMessage(broker->settings().station, state, unit, label));
    }
}

int AlarmWatch::activeCount() const {
    int count = 0;
    for (const auto& kinds : raised)
        for (const auto& alarm : kinds)
            count += alarm ? 1 : 0;
    return count;
}

bool AlarmWatch::commandsDone(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (command && !command->idle() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return !command || command->idle();
}

void AlarmWatch::handle(const AlarmEvent& event) {
    const int kind = static_cast<int>(event.kind);
    if (event.state == AlarmState::Raised) {
        raised[event.device][kind] = event;
        raisedSample[event.device][kind] = sampleNow;
    } else {
        raised[event.device][kind].reset();
    }
    if (record)
        addToRecord(event, sampleNow);
    const auto [label, unit] = captions(event.device);
    if (command)
        command->run(event, label, unit);
    // An alarm that ends while another kind is still active leaves that one's state.
    if (broker)
        broker->publish(alarmMessage(broker->settings().station,
                                     event.state == AlarmState::Ended ? deviceState(event) : event,
                                     unit, label));
    emit changed(event);
}

void AlarmWatch::tellOnce(const QString& text) {
    if (told.contains(text))
        return;
    told << text;
    emit problem(text);
}

} // namespace kt7
