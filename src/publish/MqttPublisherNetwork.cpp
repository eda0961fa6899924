// The publisher's network thread: connects, runs the library's loop, and on a lost or refused
// connection says why and tries again after a back-off.
#include "publish/MqttProblems.h"
#include "publish/MqttPublisher.h"

#include <cerrno>
#include <mosquitto.h>

#ifdef Q_OS_WIN
#include <ws2tcpip.h>
#else
#include <netdb.h>
#define gai_strerrorA gai_strerror
#endif
#include <optional>

namespace kt7 {

namespace {

constexpr int keepAliveSeconds = 30;
// How long one pass of the library's loop may wait for the socket; a publish wakes it at once.
// It bounds how soon the thread sees that the publisher is going away.
constexpr int loopWaitMs = 200;

} // namespace

// Our own thread rather than mosquitto_loop_start: the library's thread ends for good after a TLS
// failure or a host name that does not resolve, and does not say why it lost a connection.
void MqttPublisher::runNetwork() {
    const std::chrono::seconds longest{std::max(1U, limits_.reconnectDelayMaxSeconds)};
    std::chrono::seconds delay{1};
    for (bool first = true; !stopping_; first = false) {
        int result = connectOnce(first);
        while (result == MOSQ_ERR_SUCCESS && !stopping_)
            result = mosquitto_loop(client_, loopWaitMs, 1);
        if (stopping_)
            break;
        connected_ = false;
        explain(result);
        if (accepted_)
            delay = std::chrono::seconds(1);
        if (!waitUnlessStopping(delay))
            break;
        delay = std::min(delay * 2, longest);
    }
    // A clean goodbye when connected; nothing waits for the broker's answer.
    mosquitto_disconnect(client_);
    mosquitto_loop(client_, loopWaitMs, 1);
}

int MqttPublisher::connectOnce(bool first) {
    {
        const std::lock_guard lock(logMutex_);
        attemptErrors_.clear();
    }
    {
        const std::lock_guard lock(mutex_);
        ++attempts_;
    }
    connack_ = 0;
    accepted_ = false;
    errno = 0;
    // Resolves the name here and connects without waiting: a broker that does not answer holds
    // up nothing.
    const int result = first ? mosquitto_connect_async(client_, settings_.host.toUtf8().constData(),
                                                       settings_.port, keepAliveSeconds)
                             : mosquitto_reconnect_async(client_);
    resolverError_ = errno; // getaddrinfo's code, which the library leaves in errno
    return result;
}

// A broker that is just away is told by the status line; these causes need the user. The status
// line names the cause of the last failed attempt.
void MqttPublisher::explain(int result) {
    QStringList errors;
    {
        const std::lock_guard lock(logMutex_);
        errors = attemptErrors_;
    }
    std::optional<MqttProblem> problem;
    if (result == MOSQ_ERR_EAI)
        problem = hostNotFound(QString::fromLocal8Bit(gai_strerrorA(resolverError_)), settings_);
    else if (result == MOSQ_ERR_CONN_REFUSED && connack_ != 0)
        problem = refusedConnection(connack_, settings_);
    // A failed handshake surfaces as a TLS error or, read mid-handshake, as a plain I/O error
    // after the library logged OpenSSL's reason.
    else if (settings_.tls && !accepted_ && (result == MOSQ_ERR_TLS || !errors.isEmpty()))
        problem = tlsFailure(errors, settings_);
    {
        const std::lock_guard lock(mutex_);
        awayCause_ = problem ? problem->cause : QString();
    }
    if (problem)
        report(problem->message);
}

void MqttPublisher::report(const QString& text) {
    if (reported_.contains(text))
        return;
    reported_ << text;
    QMetaObject::invokeMethod(
        this, [this, text] { emit problem(text); }, Qt::QueuedConnection);
}

bool MqttPublisher::waitUnlessStopping(std::chrono::seconds delay) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, delay, [this] { return stopping_.load(); });
}

void MqttPublisher::onConnect(mosquitto*, void* self, int result) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    publisher->connack_ = result;
    publisher->connected_ = result == 0;
    if (result != 0)
        return;
    publisher->accepted_ = true;
    publisher->reported_.clear(); // a cause that comes back after this is told again
    const std::lock_guard lock(publisher->mutex_);
    publisher->awayCause_.clear();
    publisher->handOverWhatFits();
}

void MqttPublisher::onDisconnect(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    const std::lock_guard lock(publisher->mutex_);
    publisher->connected_ = false;
    publisher->changed_.notify_all();
}

void MqttPublisher::onLog(mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR)
        return;
    auto* publisher = static_cast<MqttPublisher*>(self);
    const std::lock_guard lock(publisher->logMutex_);
    publisher->attemptErrors_ << QString::fromUtf8(text);
}

} // namespace kt7
