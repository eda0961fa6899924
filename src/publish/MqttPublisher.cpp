#include "publish/MqttPublisher.h"

#include <QFile>

#include <mosquitto.h>

namespace kt7 {

namespace {

constexpr int atLeastOnce = 1;
// Debian's hashed CA folder: the system's store, kept up to date by ca-certificates.
constexpr const char* systemCaFolder = "/etc/ssl/certs";

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// An encrypted key file fails instead of OpenSSL asking for its passphrase on the terminal.
int noPassphrase(char*, int, int, void*) {
    return 0;
}

const char* orNull(const QByteArray& text) {
    return text.isEmpty() ? nullptr : text.constData();
}

} // namespace

MqttPublisher::MqttPublisher(MqttSettings settings, MqttPublisherLimits limits)
    : settings_(std::move(settings)), limits_(limits) {
    initialiseLibraryOnce();
    client_ = mosquitto_new(nullptr, true, this);
    if (!client_)
        return; // out of memory: every row is counted as dropped
    // The network thread is ours (see runNetwork); the library guards its state for it.
    mosquitto_threaded_set(client_, true);
    mosquitto_connect_callback_set(client_, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(client_, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(client_, &MqttPublisher::onPublish);
    mosquitto_log_callback_set(client_, &MqttPublisher::onLog);
    mosquitto_int_option(client_, MOSQ_OPT_SEND_MAXIMUM, limits_.inFlightMessages);
    if (!settings_.userName.isEmpty())
        mosquitto_username_pw_set(client_, settings_.userName.toUtf8().constData(),
                                  orNull(settings_.password.toUtf8()));
    if (settings_.tls) {
        const QByteArray ca = QFile::encodeName(settings_.caFile);
        const int result =
            mosquitto_tls_set(client_, orNull(ca), ca.isEmpty() ? systemCaFolder : nullptr,
                              orNull(QFile::encodeName(settings_.certFile)),
                              orNull(QFile::encodeName(settings_.keyFile)), &noPassphrase);
        // Never without TLS once it was asked for: the password would go in clear.
        if (result != MOSQ_ERR_SUCCESS) {
            report(QStringLiteral("MQTT broker %1:%2: TLS cannot be set up (%3); nothing is "
                                  "published.")
                       .arg(settings_.host)
                       .arg(settings_.port)
                       .arg(QString::fromUtf8(mosquitto_strerror(result))));
            return;
        }
    }
    network_ = std::thread(&MqttPublisher::runNetwork, this);
}

MqttPublisher::~MqttPublisher() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (network_.joinable())
        network_.join();
    if (client_)
        mosquitto_destroy(client_);
}

void MqttPublisher::publishRow(qint32 sample, const QDateTime& when,
                               const std::array<std::optional<double>, 8>& values,
                               const std::array<QString, 8>& units,
                               const std::array<QString, 8>& labels) {
    std::vector<MqttMessage> messages =
        rowMessages(settings_.station, sample, when, values, units, labels);
    const std::lock_guard lock(mutex_);
    for (MqttMessage& message : messages)
        queue(std::move(message));
    handOverWhatFits();
}

void MqttPublisher::publish(MqttMessage message) {
    const std::lock_guard lock(mutex_);
    queue(std::move(message));
    handOverWhatFits();
}

// With the lock held: a full buffer loses its oldest message.
void MqttPublisher::queue(MqttMessage&& message) {
    if (waiting_.size() >= static_cast<std::size_t>(limits_.bufferedMessages)) {
        waiting_.pop_front();
        ++dropped_;
    }
    waiting_.push_back(std::move(message));
}

MqttDrainResult MqttPublisher::drainFor(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    const qint64 before = published_;
    changed_.wait_for(lock, limit, [this] { return waiting_.empty() && inFlight_ == 0; });
    return {published_ - before, static_cast<qint64>(waiting_.size()) + inFlight_};
}

MqttCounters MqttPublisher::counters() const {
    const std::lock_guard lock(mutex_);
    return {published_, static_cast<qint64>(waiting_.size()) + inFlight_, dropped_, attempts_};
}

QString MqttPublisher::awayCause() const {
    const std::lock_guard lock(mutex_);
    return awayCause_;
}

// With the lock held. mosquitto_publish only queues the message for the network thread, and
// queues it while the broker is away too; the library sends its queue in order on reconnect.
void MqttPublisher::handOverWhatFits() {
    while (!waiting_.empty() && inFlight_ < limits_.inFlightMessages) {
        const MqttMessage& message = waiting_.front();
        const int result = mosquitto_publish(
            client_, nullptr, message.topic.constData(), static_cast<int>(message.payload.size()),
            message.payload.constData(), atLeastOnce, message.retain);
        // After a lost connection a QoS 1 message is queued all the same and the call answers
        // "no connection": trying it again would send it twice.
        if (result == MOSQ_ERR_SUCCESS || result == MOSQ_ERR_NO_CONN)
            ++inFlight_;
        else
            ++dropped_; // refused by the library (out of memory), never going to be sent
        waiting_.pop_front();
    }
}

void MqttPublisher::onPublish(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    const std::lock_guard lock(publisher->mutex_);
    --publisher->inFlight_;
    ++publisher->published_;
    publisher->handOverWhatFits();
    publisher->changed_.notify_all();
}

} // namespace kt7
