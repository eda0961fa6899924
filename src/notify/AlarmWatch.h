#pragma once

#include "alarms/AlarmJudge.h"
#include "alarms/AlarmRecord.h"
#include "alarms/AlarmSettings.h"
#include "notify/AlarmCommand.h"

#include <QObject>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

namespace kt7 {

class MqttPublisher;

// The alarms of a session: every polled reading judged against the limits, each change written
// to the record beside the log, run through the user's command, published, and then told to the
// front ends. Alarms only watch: nothing here changes what is logged or when.
class AlarmWatch : public QObject {
    Q_OBJECT
  public:
    // The label and unit a device has now, for the command and the broker.
    using Captions = std::function<std::pair<QString, QString>(int device)>;

    explicit AlarmWatch(Captions captions);
    ~AlarmWatch() override;

    // New limits: the alarms of the old ones end now, the new ones are judged from the next tick.
    void setSettings(const AlarmSettings& settings, const QDateTime& now);
    const AlarmSettings& settings() const { return current; }
    bool watching() const { return judge != nullptr; }

    // One tick: its readings, then whose silence counts. sample: the log's last row now.
    void judgeTick(const PollResult& poll, const QDateTime& now,
                   const std::array<DevicePresence, DeviceCount>& presence, qint32 sample) {
        if (!judge)
            return;
        sampleNow = sample;
        judge->readingsPolled(poll, now);
        judge->tick(now, presence);
    }

    // A new file of the log: a new record beside it, holding the alarms that are still active.
    void logStarted(const QString& logPath);
    void logStopped() { record.reset(); }
    // The broker learns every change, and at once the state of every watched device.
    void publishWith(MqttPublisher* publisher);
    MqttPublisher* publisher() const { return broker; }

    // The raise of an alarm still active, for a front end that shows them.
    const std::optional<AlarmEvent>& active(int device, AlarmKind kind) const {
        return raised[device][static_cast<int>(kind)];
    }
    int activeCount() const;
    // Waits up to timeoutMs for the alarm command to finish what it was given.
    bool commandsDone(int timeoutMs);

  signals:
    void changed(const kt7::AlarmEvent& event);
    // A record that cannot be written, a command that fails: each cause once.
    void problem(const QString& text);

  private:
    void handle(const AlarmEvent& event);
    void tellOnce(const QString& text);
    void addToRecord(const AlarmEvent& event, qint32 sample);
    AlarmEvent deviceState(const AlarmEvent& otherwise) const;

    Captions captions;
    AlarmSettings current;
    std::unique_ptr<AlarmJudge> judge;
    std::unique_ptr<AlarmRecord> record;
    std::unique_ptr<AlarmCommand> command;
    MqttPublisher* broker = nullptr;
    std::array<std::array<std::optional<AlarmEvent>, AlarmKindCount>, DeviceCount> raised;
    std::array<std::array<qint32, AlarmKindCount>, DeviceCount> raisedSample{};
    qint32 sampleNow = 0;
    QStringList told;
};

} // namespace kt7
