#include "publish/MqttPublisher.h"

#include <mosquitto.h>

namespace kt7 {

namespace {

constexpr int keepAliveSeconds = 30;
constexpr int atLeastOnce = 1;

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

} // namespace

MqttPublisher::MqttPublisher(MqttSettings settings, MqttPublisherLimits limits)
    : settings_(std::move(settings)), limits_(limits) {
    initialiseLibraryOnce();
    client_ = mosquitto_new(nullptr, true, this);
    if (!client_)
        return; // out of memory: every row is counted as dropped
    mosquitto_connect_callback_set(client_, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(client_, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(client_, &MqttPublisher::onPublish);
    mosquitto_int_option(client_, MOSQ_OPT_SEND_MAXIMUM, limits_.inFlightMessages);
    mosquitto_reconnect_delay_set(client_, 1, limits_.reconnectDelayMaxSeconds, true);
    if (!settings_.userName.isEmpty())
        mosquitto_username_pw_set(client_, settings_.userName.toUtf8().constData(),
                                  settings_.password.toUtf8().constData());
    // The thread first: started after a failed connect_async (no broker yet), libmosquitto
    // 2.0's thread never tries again.
    mosquitto_loop_start(client_);
    mosquitto_connect_async(client_, settings_.host.toUtf8().constData(), settings_.port,
                            keepAliveSeconds);
}

MqttPublisher::~MqttPublisher() {
    if (!client_)
        return;
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, false);
    mosquitto_destroy(client_);
}

void MqttPublisher::publishRow(qint32 sample, const QDateTime& when,
                               const std::array<std::optional<double>, 8>& values,
                               const std::array<QString, 8>& units,
                               const std::array<QString, 8>& labels) {
    std::vector<MqttMessage> messages =
        rowMessages(settings_.station, sample, when, values, units, labels);
    const std::lock_guard lock(mutex_);
    for (MqttMessage& message : messages) {
        if (waiting_.size() >= static_cast<std::size_t>(limits_.bufferedMessages)) {
            waiting_.pop_front();
            ++dropped_;
        }
        waiting_.push_back(std::move(message));
    }
    handOverWhatFits();
}

bool MqttPublisher::drain(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return acknowledged_.wait_for(
               lock, std::chrono::milliseconds(timeoutMs),
               [this] { return (waiting_.empty() && inFlight_ == 0) || !connected_; }) &&
           waiting_.empty() && inFlight_ == 0;
}

MqttCounters MqttPublisher::counters() const {
    const std::lock_guard lock(mutex_);
    return {published_, static_cast<qint64>(waiting_.size()) + inFlight_, dropped_};
}

// With the lock held. mosquitto_publish only queues the message for the library's thread, and
// queues it while the broker is away too; the library sends its queue in order on reconnect.
void MqttPublisher::handOverWhatFits() {
    while (!waiting_.empty() && inFlight_ < limits_.inFlightMessages) {
        const MqttMessage& message = waiting_.front();
        const int result = mosquitto_publish(client_, nullptr, message.topic.constData(),
                                             static_cast<int>(message.payload.size()),
                                             message.payload.constData(), atLeastOnce, false);
        // After a lost connection a QoS 1 message is queued all the same and the call answers
        // "no connection": trying it again would send it twice.
        if (result == MOSQ_ERR_SUCCESS || result == MOSQ_ERR_NO_CONN)
            ++inFlight_;
        else
            ++dropped_; // refused by the library (out of memory), never going to be sent
        waiting_.pop_front();
    }
}

void MqttPublisher::onConnect(mosquitto*, void* self, int result) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    publisher->connected_ = result == 0;
    const std::lock_guard lock(publisher->mutex_);
    publisher->handOverWhatFits();
}

void MqttPublisher::onDisconnect(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    const std::lock_guard lock(publisher->mutex_);
    publisher->connected_ = false;
    publisher->acknowledged_.notify_all();
}

void MqttPublisher::onPublish(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    const std::lock_guard lock(publisher->mutex_);
    --publisher->inFlight_;
    ++publisher->published_;
    publisher->handOverWhatFits();
    publisher->acknowledged_.notify_all();
}

} // namespace kt7
