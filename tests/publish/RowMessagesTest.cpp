#include "publish/RowMessages.h"
#include "common/TestRegistry.h"

#include <QTest>
#include <QTimeZone>

using namespace kt7;

namespace {

using Values = std::array<std::optional<double>, 8>;
using Texts = std::array<QString, 8>;

} // namespace

class RowMessagesTest : public QObject {
    Q_OBJECT
  private slots:
    // Each row has one device with a value; the rest have none and send nothing.
    void oneDevice_data() {
        QTest::addColumn<int>("device");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("payloadTail");
        QTest::newRow("shortest round trip, degree sign")
            << 7 << 0.1 << QString::fromUtf8("\u00b0C") << "Oven"
            << QByteArray("0.1,\"unit\":\"\xc2\xb0"
                          "C\",\"label\":\"Oven\"}");
        QTest::newRow("quotes, backslash, control characters")
            << 3 << -1e-7 << ""
            << "a\"b\\c\td\x01"
            << QByteArray("-1e-07,\"unit\":\"\",\"label\":\"a\\\"b\\\\c\\u0009d\\u0001\"}");
        QTest::newRow("infinity is no JSON number")
            << 5 << std::numeric_limits<double>::infinity() << "V"
            << "U" << QByteArray("null,\"unit\":\"V\",\"label\":\"U\"}");
    }
    void oneDevice() {
        QFETCH(int, device);
        QFETCH(double, value);
        QFETCH(QString, unit);
        QFETCH(QString, label);
        QFETCH(QByteArray, payloadTail);
        Values values;
        Texts units;
        Texts labels;
        values[device] = value;
        units[device] = unit;
        labels[device] = label;
        // Local time one hour ahead of UTC, just after midnight: the UTC date is the day before.
        const QDateTime when(QDate(2027, 1, 1), QTime(0, 20, 5, 7), QTimeZone(3600));
        const std::vector<MqttMessage> messages =
            rowMessages("lab pc", 2147483647, when, values, units, labels);
        QCOMPARE(messages.size(), 1u);
        QCOMPARE(messages[0].topic, "kt7/lab pc/" + QByteArray::number(device + 1));
        QCOMPARE(messages[0].payload,
                 "{\"sample\":2147483647,\"time\":\"2026-12-31T23:20:05.007Z\",\"value\":" +
                     payloadTail);
    }

    // Retained, so a dashboard that connects later sees the state; an end says "ok".
    void alarmStates() {
        const QDateTime when(QDate(2027, 1, 1), QTime(0, 20, 5), QTimeZone(3600));
        const MqttMessage raised = alarmMessage(
            "lab", {1, AlarmKind::High, AlarmState::Raised, 185.5, 185, when, 185.5}, "°C", "Oven");
        QCOMPARE(raised.topic, "kt7/lab/2/alarm");
        QVERIFY(raised.retain);
        QCOMPARE(raised.payload, "{\"state\":\"high\",\"value\":185.5,\"limit\":185,\"time\":"
                                 "\"2026-12-31T23:20:05.000Z\",\"unit\":\"\u00b0C\","
                                 "\"label\":\"Oven\"}");
        const MqttMessage silent = alarmMessage(
            "lab", {7, AlarmKind::Silent, AlarmState::Ended, {}, 10, when, {}}, "", "");
        QCOMPARE(silent.topic, "kt7/lab/8/alarm");
        QVERIFY(silent.payload.startsWith("{\"state\":\"ok\",\"value\":null,\"limit\":10,"));
    }
};

KT7_REGISTER_TEST(RowMessagesTest)
#include "RowMessagesTest.moc"
