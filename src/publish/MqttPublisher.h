#pragma once

#include "publish/MqttSettings.h"
#include "publish/RowMessages.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct mosquitto;

namespace kt7 {

struct MqttPublisherLimits {
    // Messages waiting for the broker beyond the ones the library holds. About 150 bytes each:
    // 20,000 (3 MB) hold 40 minutes of eight devices at one reading a second.
    int bufferedMessages = 20000;
    // Messages handed to the library and not yet acknowledged by the broker.
    int inFlightMessages = 20;
    // A lost or refused broker is tried again after 1 s, doubling up to this.
    unsigned reconnectDelayMaxSeconds = 10;
};

struct MqttCounters {
    qint64 published = 0;       // acknowledged by the broker
    qint64 buffered = 0;        // waiting for the broker, in order
    qint64 dropped = 0;         // thrown away, oldest first, because the buffer was full
    qint64 connectAttempts = 0; // connections tried, the first one included
};

// What a drain at the end achieved.
struct MqttDrainResult {
    qint64 delivered = 0;    // acknowledged by the broker during the drain
    qint64 notDelivered = 0; // still queued when it ended: lost with the publisher
};

// Publishes rows to an MQTT broker over libmosquitto, QoS 1, plain or TLS. libmosquitto because
// it is one small C library from Debian that brings what is needed: TLS, and a queue of QoS 1
// messages that it resends in order after a reconnect; Paho's C++ client would add two libraries.
//
// publishRow never waits for the network: it formats the messages and hands them to the library,
// which only queues them for the publisher's network thread. The library's queue has no bound,
// so it gets at most inFlightMessages at a time; the rest wait here, bounded, and the network
// thread takes them as the broker acknowledges. A broker that is down, refuses this client or
// cannot be found only fills the buffer; the network thread tries again with a back-off.
class MqttPublisher : public QObject {
    Q_OBJECT
  public:
    explicit MqttPublisher(MqttSettings settings, MqttPublisherLimits limits = {});
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    void publishRow(qint32 sample, const QDateTime& when,
                    const std::array<std::optional<double>, 8>& values,
                    const std::array<QString, 8>& units, const std::array<QString, 8>& labels);

    // One message queued behind the rows before it, as an alarm's state.
    void publish(MqttMessage message);

    // Gives what is queued up to limit to reach the broker, connected now or not, and returns
    // as soon as nothing is left. For the end of a run: what it did not deliver is lost.
    MqttDrainResult drainFor(std::chrono::milliseconds limit);
    // The same, true when nothing is left.
    bool drain(int timeoutMs) {
        return drainFor(std::chrono::milliseconds(timeoutMs)).notDelivered == 0;
    }

    const MqttSettings& settings() const { return settings_; }
    MqttCounters counters() const;
    bool isConnected() const { return connected_; }
    // Why the last attempt to connect failed, for a status line ("refused user \"rig\": not
    // authorised ..."); empty when connected or merely away (down, not answering).
    QString awayCause() const;

  signals:
    // Why the broker cannot be used (refused, TLS failed, host not found), once per cause until
    // a connection succeeds. Emitted on the thread that made the publisher; never the password.
    void problem(const QString& text);

  private:
    static void onConnect(mosquitto* client, void* self, int result);
    static void onDisconnect(mosquitto* client, void* self, int result);
    static void onPublish(mosquitto* client, void* self, int messageId);
    static void onLog(mosquitto* client, void* self, int level, const char* text);
    void runNetwork();
    int connectOnce(bool first);
    void explain(int result);
    void report(const QString& text);
    bool waitUnlessStopping(std::chrono::seconds delay);
    void handOverWhatFits();
    void queue(MqttMessage&& message);

    const MqttSettings settings_;
    const MqttPublisherLimits limits_;
    mosquitto* client_ = nullptr;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_; // guards everything below; held only for a few queue operations
    std::condition_variable changed_; // acknowledged, or stopping
    std::deque<MqttMessage> waiting_;
    int inFlight_ = 0;
    qint64 published_ = 0;
    qint64 dropped_ = 0;
    qint64 attempts_ = 0;
    QString awayCause_;

    // The network thread's own: what this connection attempt told and what was said already.
    std::mutex logMutex_; // the library may log from a thread calling mosquitto_publish
    QStringList attemptErrors_;
    int connack_ = 0;
    int resolverError_ = 0;
    bool accepted_ = false;
    QStringList reported_;
    std::thread network_;
};

} // namespace kt7
