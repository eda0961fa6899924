#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

struct mosquitto;

// Receives kt7/# at QoS 1 with a persistent session, reconnecting by itself, and keeps every
// message in the order it came.
class Subscriber {
  public:
    explicit Subscriber(quint16 port);
    ~Subscriber();
    bool isSubscribed() const { return subscribed_; }
    std::vector<std::pair<QByteArray, QByteArray>> received() const;
    std::size_t count() const;

  private:
    mosquitto* client_;
    std::atomic<bool> subscribed_{false};
    mutable std::mutex mutex_;
    std::vector<std::pair<QByteArray, QByteArray>> received_;
};
