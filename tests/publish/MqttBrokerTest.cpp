#include "Broker.h"
#include "Subscriber.h"
#include "common/TestRegistry.h"
#include "publish/MqttPublisher.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

using namespace kt7;

namespace {

using Values = std::array<std::optional<double>, 8>;
using Texts = std::array<QString, 8>;

const Texts units{"mV", QString::fromUtf8("\u00b0C"), "bar", "N", "A", "V", "Hz", "%"};
const Texts labels{"Temp \"in\"", "Oven", "Line 3", "Load", "I", "U", "f", "RH"};
const QDateTime start(QDate(2026, 12, 7), QTime(17, 34, 26, 250), QTimeZone(3600));

// Row n: every device but those with (n + device) % 5 == 0 has a value with a binary fraction.
Values rowValues(int sample) {
    Values values;
    for (int device = 0; device < 8; ++device)
        if ((sample + device) % 5 != 0)
            values[device] = sample + device / 8.0 + 0.1;
    return values;
}

// What a subscriber should see for rows first..last, one line per message, in order.
QStringList expectedMessages(int first, int last) {
    QStringList lines;
    for (int sample = first; sample <= last; ++sample) {
        const Values values = rowValues(sample);
        for (int device = 0; device < 8; ++device)
            if (values[device])
                lines << QStringLiteral("kt7/rig/%1 %2 %3 %4 %5 %6")
                             .arg(device + 1)
                             .arg(sample)
                             .arg(start.addSecs(sample).toMSecsSinceEpoch())
                             .arg(*values[device], 0, 'g', 17)
                             .arg(units[device], labels[device]);
    }
    return lines;
}

// The same lines read back from the JSON payloads the subscriber received.
QStringList receivedMessages(const Subscriber& subscriber) {
    QStringList lines;
    for (const auto& [topic, payload] : subscriber.received()) {
        const QJsonObject json = QJsonDocument::fromJson(payload).object();
        const QString time = json[QLatin1String("time")].toString();
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(QString::fromUtf8(topic))
                     .arg(json[QLatin1String("sample")].toInt(-1))
                     .arg(time.endsWith(u'Z')
                              ? QDateTime::fromString(time, Qt::ISODateWithMs).toMSecsSinceEpoch()
                              : -1)
                     .arg(json[QLatin1String("value")].toDouble(), 0, 'g', 17)
                     .arg(json[QLatin1String("unit")].toString(),
                          json[QLatin1String("label")].toString());
    }
    return lines;
}

// Publishes rows first..last and returns the longest a call took, in microseconds.
qint64 publishRows(MqttPublisher& publisher, int first, int last) {
    qint64 longest = 0;
    for (int sample = first; sample <= last; ++sample) {
        QElapsedTimer timer;
        timer.start();
        publisher.publishRow(sample, start.addSecs(sample), rowValues(sample), units, labels);
        longest = std::max(longest, timer.nsecsElapsed() / 1000);
    }
    return longest;
}

MqttSettings settingsFor(const Broker& broker) {
    return mqttSettingsFrom(QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port()), "rig", {}, {})
        .settings.value();
}

} // namespace

class MqttBrokerTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<Broker> broker;
    std::unique_ptr<Subscriber> subscriber;
    static constexpr MqttPublisherLimits quickRetry{20000, 20, 1};

  private slots:
    // Each test gets a fresh broker with the subscriber's session in it.
    void init() {
        if (Broker::program().isEmpty())
            QSKIP("the mosquitto broker is not installed (Debian package mosquitto)");
        broker = std::make_unique<Broker>();
        QVERIFY(broker->start());
        subscriber = std::make_unique<Subscriber>(broker->port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber->isSubscribed(), 10000);
    }
    void cleanup() {
        subscriber.reset();
        broker.reset();
    }

    void rowsArriveOnceInOrderThroughABrokerRestart() {
        MqttPublisher publisher(settingsFor(*broker), quickRetry);
        QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 10000);
        const qint64 upLongest = publishRows(publisher, 1, 20);
        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(*subscriber), expectedMessages(1, 20), 10000);
        QTRY_COMPARE(publisher.counters().buffered, 0);

        // Stopped with nothing in flight either way: a redelivery, which QoS 1 allows, could only
        // come from a fault here.
        subscriber->settle();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber->isSettled(), 10000);
        QVERIFY(broker->stop());
        QTRY_VERIFY_WITH_TIMEOUT(!publisher.isConnected(), 10000);
        const qint64 downLongest = publishRows(publisher, 21, 60);
        const qsizetype whileDown = expectedMessages(21, 60).size();
        QCOMPARE(publisher.counters().buffered, whileDown);

        QVERIFY(broker->start());
        publishRows(publisher, 61, 70);
        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(*subscriber), expectedMessages(1, 70), 15000);
        QTRY_COMPARE(publisher.counters().published, expectedMessages(1, 70).size());
        QCOMPARE(publisher.counters().buffered, 0);
        QCOMPARE(publisher.counters().dropped, 0);
        qInfo("longest publishRow: %lld us with the broker up, %lld us with it down", upLongest,
              downLongest);
    }

    void publishingStartsWhenTheBrokerComesUp() {
        QVERIFY(broker->stop());
        {
            // Shutting down while the broker is away returns at once and sends nothing later.
            MqttPublisher gone(settingsFor(*broker), quickRetry);
            publishRows(gone, 101, 103);
        }
        MqttPublisher publisher(settingsFor(*broker), quickRetry);
        publishRows(publisher, 1, 5);
        QCOMPARE(publisher.counters().published, 0);
        QVERIFY(broker->start());
        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(*subscriber), expectedMessages(1, 5), 15000);
    }

    // A full buffer drops its oldest messages; what the library already holds is still sent.
    void aFullBufferDropsTheOldestFirst() {
        QVERIFY(broker->stop());
        MqttPublisher publisher(settingsFor(*broker), {10, 2, 1});
        publishRows(publisher, 1, 5);
        const QStringList published = expectedMessages(1, 5);
        QCOMPARE(publisher.counters().dropped, published.size() - 12);
        QCOMPARE(publisher.counters().buffered, 12);
        QVERIFY(broker->start());
        const QStringList kept = published.mid(0, 2) + published.mid(published.size() - 10);
        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(*subscriber), kept, 15000);
    }
};

KT7_REGISTER_TEST(MqttBrokerTest)
#include "MqttBrokerTest.moc"
