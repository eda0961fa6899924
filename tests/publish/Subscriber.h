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
    // A second subscriber needs an id of its own: the broker lets one connection hold an id.
    explicit Subscriber(quint16 port, const char* clientId = "kt7-test-subscriber");
    ~Subscriber();
    bool isSubscribed() const { return subscribed_; }
    // Asks the broker for an acknowledgement. The broker reads a connection's packets in order, so
    // once it answers, it has also taken this subscriber's acknowledgements of everything received
    // before: stopped then, it keeps no message in flight to redeliver on its restart.
    void settle();
    bool isSettled() const { return acknowledged_ == settleRequests_; }
    std::vector<std::pair<QByteArray, QByteArray>> received() const;
    std::size_t count() const;

  private:
    mosquitto* client_;
    std::atomic<bool> subscribed_{false};
    std::atomic<int> settleRequests_{0};
    std::atomic<int> acknowledged_{0}; // this client publishes nothing but settle requests
    mutable std::mutex mutex_;
    std::vector<std::pair<QByteArray, QByteArray>> received_;
};
