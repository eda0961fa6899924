#pragma once

#include "publish/MqttSettings.h"
#include "publish/RowMessages.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

struct mosquitto;

namespace kt7 {

struct MqttPublisherLimits {
    // Messages waiting for the broker beyond the ones the library holds. About 150 bytes each:
    // 20,000 (3 MB) hold 40 minutes of eight devices at one reading a second.
    int bufferedMessages = 20000;
    // Messages handed to the library and not yet acknowledged by the broker.
    int inFlightMessages = 20;
    // The library retries a lost broker after 1 s, doubling up to this.
    unsigned reconnectDelayMaxSeconds = 10;
};

struct MqttCounters {
    qint64 published = 0; // acknowledged by the broker
    qint64 buffered = 0;  // waiting for the broker, in order
    qint64 dropped = 0;   // thrown away, oldest first, because the buffer was full
};

// Publishes rows to an MQTT broker over libmosquitto, QoS 1. libmosquitto because it is one small
// C library from Debian that brings what is needed: a network thread of its own
// (mosquitto_loop_start), reconnect with back-off, and a queue of QoS 1 messages that it resends
// in order after a reconnect; Paho's C++ client would add two libraries for the same.
//
// publishRow never waits for the network: it formats the messages and hands them to the library,
// which only queues them for its thread. The library's queue has no bound, so it gets at most
// inFlightMessages at a time; the rest wait here, bounded, and the library's thread takes them
// as the broker acknowledges. A broker that is down at start or goes away only fills the buffer.
class MqttPublisher {
  public:
    explicit MqttPublisher(MqttSettings settings, MqttPublisherLimits limits = {});
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    void publishRow(qint32 sample, const QDateTime& when,
                    const std::array<std::optional<double>, 8>& values,
                    const std::array<QString, 8>& units, const std::array<QString, 8>& labels);

    // Waits, at most timeoutMs, for what is still on its way while the broker is connected, so a
    // clean shutdown does not lose the last rows; false when some are left.
    bool drain(int timeoutMs);

    const MqttSettings& settings() const { return settings_; }
    MqttCounters counters() const;
    bool isConnected() const { return connected_; }

  private:
    static void onConnect(mosquitto* client, void* self, int result);
    static void onDisconnect(mosquitto* client, void* self, int result);
    static void onPublish(mosquitto* client, void* self, int messageId);
    void handOverWhatFits();

    const MqttSettings settings_;
    const MqttPublisherLimits limits_;
    mosquitto* client_ = nullptr;
    std::atomic<bool> connected_{false};

    mutable std::mutex mutex_; // guards everything below; held only for a few queue operations
    std::condition_variable acknowledged_;
    std::deque<MqttMessage> waiting_;
    int inFlight_ = 0;
    qint64 published_ = 0;
    qint64 dropped_ = 0;
};

} // namespace kt7
