#include "Subscriber.h"

#include <mosquitto.h>

Subscriber::Subscriber(quint16 port, const char* clientId)
    : client_((mosquitto_lib_init(), mosquitto_new(clientId, false, this))) {
    mosquitto_connect_callback_set(client_, [](mosquitto* client, void*, int result) {
        if (result == 0)
            mosquitto_subscribe(client, nullptr, "kt7/#", 1);
    });
    mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
        static_cast<Subscriber*>(self)->subscribed_ = true;
    });
    mosquitto_disconnect_callback_set(client_, [](mosquitto*, void* self, int) {
        static_cast<Subscriber*>(self)->subscribed_ = false;
    });
    mosquitto_publish_callback_set(client_, [](mosquitto*, void* self, int) {
        ++static_cast<Subscriber*>(self)->acknowledged_;
    });
    mosquitto_message_callback_set(
        client_, [](mosquitto*, void* self, const mosquitto_message* message) {
            auto* subscriber = static_cast<Subscriber*>(self);
            const std::lock_guard lock(subscriber->mutex_);
            subscriber->received_.emplace_back(
                QByteArray(message->topic),
                QByteArray(static_cast<const char*>(message->payload), message->payloadlen));
        });
    mosquitto_reconnect_delay_set(client_, 1, 1, false);
    mosquitto_loop_start(client_);
    mosquitto_connect_async(client_, "127.0.0.1", port, 30);
}

Subscriber::~Subscriber() {
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, false);
    mosquitto_destroy(client_);
}

void Subscriber::settle() {
    ++settleRequests_;
    // Outside kt7/#, so it never comes back as a received message.
    mosquitto_publish(client_, nullptr, "kt7-test/settle", 0, nullptr, 1, false);
}

std::vector<std::pair<QByteArray, QByteArray>> Subscriber::received() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

std::size_t Subscriber::count() const {
    const std::lock_guard lock(mutex_);
    return received_.size();
}
