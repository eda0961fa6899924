#include "Broker.h"
#include "SilentListener.h"
#include "Subscriber.h"
#include "TestCertificates.h"
#include "common/TestRegistry.h"
#include "publish/MqttPublisher.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
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

const QString tlsUser = QStringLiteral("rig");
const QString tlsPassword = QStringLiteral("Pw-9xq-tls");

// The broker's TLS port as its password file's user, trusting the test's CA.
MqttSettings tlsSettingsFor(const Broker& broker, const TestCertificates& certificates) {
    MqttSettings settings = settingsFor(broker);
    settings.port = broker.tlsPort();
    settings.tls = true;
    settings.caFile = certificates.caFile();
    settings.userName = tlsUser;
    settings.password = tlsPassword;
    return settings;
}

} // namespace

class MqttBrokerTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<TestCertificates> certificates; // none when openssl or mosquitto_passwd fail
    QString certificatesMissing;
    std::unique_ptr<Broker> broker;
    std::unique_ptr<Subscriber> subscriber;
    static constexpr MqttPublisherLimits quickRetry{20000, 20, 1};

    void requireTls() {
        if (!certificates)
            QSKIP(qPrintable(certificatesMissing));
    }

  private slots:
    void initTestCase() {
        auto made = std::make_unique<TestCertificates>();
        certificatesMissing = made->make(tlsUser, tlsPassword);
        if (certificatesMissing.isEmpty())
            certificates = std::move(made);
    }

    // Each test gets a fresh broker with the subscriber's session in it.
    void init() {
        if (Broker::program().isEmpty())
            QSKIP("the mosquitto broker is not installed (Debian package mosquitto)");
        broker = std::make_unique<Broker>(certificates.get());
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

    void tlsWithAPasswordReachesTheSubscriber() {
        requireTls();
        MqttPublisher publisher(tlsSettingsFor(*broker, *certificates), quickRetry);
        const QSignalSpy problems(&publisher, &MqttPublisher::problem);
        publishRows(publisher, 1, 5);
        QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(*subscriber), expectedMessages(1, 5), 10000);
        QCOMPARE(problems.count(), 0);
    }

    // Each cause is told once, with no password in it, while publishing keeps trying and the
    // rows wait for the broker.
    void aRefusedConnectionSaysWhyOnce_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("ca"); // "own", "other" or "" for the system's store
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected"); // %1: the port, %2: the other CA's file
        const QString goesOn = " Publishing keeps trying; logging goes on.";
        const QString tlsFailed = "TLS connection to the MQTT broker 127.0.0.1:%1 failed: "
                                  "certificate verify failed. Its certificate is not signed by ";
        QTest::newRow("CA that did not sign it")
            << "127.0.0.1"
            << "other" << tlsUser << tlsPassword
            << tlsFailed + "the CA of %2, or does not name \"127.0.0.1\"." + goesOn;
        QTest::newRow("system's CA store")
            << "127.0.0.1"
            << "" << tlsUser << tlsPassword
            << tlsFailed +
                   "a CA of the system's store (or give cafile= in mqtt.conf), or does not name "
                   "\"127.0.0.1\"." +
                   goesOn;
        const QString check = " Check username= and password= (or password_file=) in mqtt.conf.";
        QTest::newRow("wrong password")
            << "127.0.0.1"
            << "own" << tlsUser << "Wr0ng-pw"
            << "MQTT broker 127.0.0.1:%1 refused user \"rig\": not authorised (a wrong password, "
               "or no right to connect)." +
                   check + goesOn;
        QTest::newRow("no user") << "127.0.0.1"
                                 << "own"
                                 << ""
                                 << ""
                                 << "MQTT broker 127.0.0.1:%1 refused a connection without a user "
                                    "name: not authorised (a wrong password, or no right to "
                                    "connect)." +
                                        check + goesOn;
        QTest::newRow("unknown host")
            << "nohost.invalid"
            << "own" << tlsUser << tlsPassword
            << "MQTT broker host \"nohost.invalid\" not found: REASON." + goesOn;
    }
    void aRefusedConnectionSaysWhyOnce() {
        requireTls();
        QFETCH(QString, host);
        QFETCH(QString, ca);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        MqttSettings settings = tlsSettingsFor(*broker, *certificates);
        settings.host = host;
        settings.caFile = ca == "own"     ? certificates->caFile()
                          : ca == "other" ? certificates->otherCaFile()
                                          : QString();
        settings.userName = user;
        settings.password = password;
        MqttPublisher publisher(settings, quickRetry);
        const QSignalSpy problems(&publisher, &MqttPublisher::problem);
        publishRows(publisher, 1, 3);
        QTRY_COMPARE_WITH_TIMEOUT(problems.count(), 1, 10000);
        // The third attempt has begun: two failures were explained.
        QTRY_VERIFY_WITH_TIMEOUT(publisher.counters().connectAttempts >= 3, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(problems.count(), 1);
        const QString text = problems[0][0].toString();
        // The resolver's words differ with the system (no such name, or no name server).
        QCOMPARE(
            QString(text).replace(QRegularExpression("not found: [^.]*\\."), "not found: REASON."),
            expected.arg(broker->tlsPort()).arg(certificates->otherCaFile()));
        // The status line names the same cause, not just "away".
        const QString cause = publisher.awayCause();
        QVERIFY2(cause.contains(": ") && text.contains(cause.section(": ", 1)), qPrintable(cause));
        for (const QString& secret : {tlsPassword, password})
            QVERIFY(secret.isEmpty() || !text.contains(secret));
        QCOMPARE(publisher.counters().buffered, expectedMessages(1, 3).size());
        QCOMPARE(publisher.counters().published, 0);
    }

    // The drain at the end waits at most its time, says what it delivered and what not, and the
    // publisher then goes at once, whatever the broker does.
    void drainSaysWhatWasDelivered_data() {
        QTest::addColumn<QString>("broker"); // during the drain: "away", "back" or "silent"
        QTest::addColumn<int>("limitMs");
        QTest::newRow("broker stays away") << "away" << 1500;
        QTest::newRow("broker comes back") << "back" << 8000;
        QTest::newRow("broker takes the connection, never answers") << "silent" << 1500;
    }
    void drainSaysWhatWasDelivered() {
        QFETCH(QString, broker);
        QFETCH(int, limitMs);
        const SilentListener silent;
        MqttSettings settings = settingsFor(*this->broker);
        if (broker == "silent")
            settings.port = silent.port();
        QVERIFY(settings.port != 0);
        QVERIFY(this->broker->stop());
        auto publisher = std::make_unique<MqttPublisher>(settings, quickRetry);
        publishRows(*publisher, 1, 10);
        const qint64 queued = expectedMessages(1, 10).size();
        QCOMPARE(publisher->counters().buffered, queued);
        if (broker == "back")
            QVERIFY(this->broker->start());

        QElapsedTimer timer;
        timer.start();
        const MqttDrainResult drained = publisher->drainFor(std::chrono::milliseconds(limitMs));
        const qint64 drainMs = timer.restart();
        publisher.reset();
        const qint64 goneMs = timer.elapsed();

        QVERIFY2(drainMs < limitMs + 1000, qPrintable(QString::number(drainMs)));
        QVERIFY2(goneMs < 1000, qPrintable(QString::number(goneMs)));
        QCOMPARE(drained.delivered + drained.notDelivered, queued);
        if (broker == "back") {
            QCOMPARE(drained.delivered, queued);
            QTRY_COMPARE_WITH_TIMEOUT(receivedMessages(*subscriber), expectedMessages(1, 10),
                                      10000);
        } else {
            QCOMPARE(drained.notDelivered, queued);
            QVERIFY2(drainMs >= limitMs - 50, qPrintable(QString::number(drainMs)));
        }
    }
};

KT7_REGISTER_TEST(MqttBrokerTest)
#include "MqttBrokerTest.moc"
