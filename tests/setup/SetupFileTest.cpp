#include "setup/SetupFile.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7;

namespace {

const QByteArray generalLine = "1,#FALSE#,#TRUE#,\"5\",\"100\"\r\n";
const QByteArray exampleDevice = "0,\"500\",\"-500\",3,1,\"Label 1\"\r\n";
const CodePage utf8 = CodePage::utf8();

QString rendered(const SetupValue& value) {
    switch (value.kind()) {
    case SetupValue::Kind::Empty:
        return QStringLiteral("~");
    case SetupValue::Kind::Text:
        return '\'' + *value.textValue() + '\'';
    case SetupValue::Kind::Number:
        return toText(value);
    case SetupValue::Kind::Boolean:
        return *value.booleanValue() ? QStringLiteral("#T") : QStringLiteral("#F");
    }
    return {};
}

template <typename Fields> QString rendered(const std::optional<Fields>& fields) {
    if (!fields)
        return QStringLiteral("none");
    QStringList parts;
    for (const SetupValue& value : *fields)
        parts.append(rendered(value));
    return parts.join(u'|');
}

// The nine lines as read, in a form a table row can spell out.
QStringList rendered(const SetupFileContent& content) {
    QStringList lines{rendered(content.general)};
    for (const auto& device : content.devices)
        lines.append(rendered(device));
    return lines;
}

QStringList withDevices(QString general, QStringList devices) {
    while (devices.size() < 8)
        devices.append(QStringLiteral("none"));
    return QStringList{std::move(general)} + devices;
}

// What the window does on load, field by field.
SetupData restored(const SetupFileContent& content) {
    SetupData data;
    const auto& g = *content.general;
    data.general = {*toInt16(g[0]), *toBoolean(g[1]), *toBoolean(g[2]), toText(g[3]), toText(g[4])};
    for (int i = 0; i < 8; ++i) {
        const auto& d = *content.devices[i];
        data.devices[i] = {*toInt16(d[0]), toText(d[1]),   toText(d[2]),
                           *toInt16(d[3]), *toInt16(d[4]), toText(d[5])};
    }
    return data;
}

} // namespace

class SetupFileTest : public QObject {
    Q_OBJECT
  private slots:
    void writesTheNineLinesByteForByte() {
        SetupData data;
        data.general = {1, false, true, "5", "100"};
        for (int i = 0; i < 8; ++i)
            data.devices[i] = {0, "500", "-500", i + 3, 1, QStringLiteral("Label %1").arg(i + 1)};
        data.devices[1] = {1, "1.5", "", 0, 0, QString::fromUtf8("Ohm \u03a9 \u00b5")};
        QByteArray expected = generalLine + exampleDevice;
        expected += "1,\"1.5\",\"\",0,0,\"Ohm ? \xb5\"\r\n";
        for (int i = 2; i < 8; ++i)
            expected += QStringLiteral("0,\"500\",\"-500\",%1,1,\"Label %2\"\r\n")
                            .arg(i + 3)
                            .arg(i + 1)
                            .toLatin1();
        QCOMPARE(writeSetupFile(data, CodePage::latin1()), expected);
    }

    void savedSetupReadsBackEqual() {
        SetupData data;
        data.general = {0, true, false, "2.5", "1e3"};
        for (int i = 0; i < 8; ++i)
            data.devices[i] = {i % 2,       QString::number(100 * i),
                               "-5",        i + 1,
                               (i / 2) % 2, QStringLiteral("Device %1").arg(i + 1)};
        data.devices[0].label = "a,b";
        data.devices[1].label = "say \"hi\", then \"\"";
        data.devices[2].label = "  padded  ";
        data.devices[3].label = "\"";
        data.devices[4].yMax = "#TRUE#";
        data.devices[5].label = "";
        const SetupFileContent content = readSetupFile(writeSetupFile(data, utf8), utf8);
        QVERIFY2(content.problem.isEmpty(), qPrintable(content.problem));
        QCOMPARE(restored(content), data);
    }

    // A label is written in the desktop's code page and read back as typed; a file from a desktop
    // with another code page is read as Windows-1252 instead of being refused.
    void labelsInTheDesktopsCodePage_data() {
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("readBack");
        const QString degrees = QString::fromUtf8("Temp \u00b0C");
        const QString torque = QString::fromUtf8("Kraft N\u00b7m");
        QTest::newRow("UTF-8 degree sign") << QByteArray("UTF-8") << degrees
                                           << QByteArray("Temp \xc2\xb0"
                                                         "C")
                                           << degrees;
        QTest::newRow("UTF-8 middle dot")
            << QByteArray("UTF-8") << torque << QByteArray("Kraft N\xc2\xb7m") << torque;
        QTest::newRow("Latin-1 lacks omega")
            << QByteArray("ISO-8859-1") << QString::fromUtf8("Ohm \u03a9 \u00b5")
            << QByteArray("Ohm ? \xb5") << QString::fromUtf8("Ohm ? \u00b5");
#ifndef Q_OS_WIN // Qt on Windows converts only the UTFs, Latin-1 and the ANSI code page
        QTest::newRow("Latin-9 euro") << QByteArray("ISO-8859-15") << QString::fromUtf8("5 \u20ac")
                                      << QByteArray("5 \xa4") << QString::fromUtf8("5 \u20ac");
#endif
    }
    void labelsInTheDesktopsCodePage() {
        QFETCH(QByteArray, codePage);
        QFETCH(QString, label);
        QFETCH(QByteArray, written);
        QFETCH(QString, readBack);
        const CodePage page = CodePage::named(codePage);
        SetupData data;
        data.devices[2].label = label;
        const QByteArray bytes = writeSetupFile(data, page);
        QVERIFY2(bytes.contains(",\"" + written + "\"\r\n"), bytes.constData());
        QCOMPARE(restored(readSetupFile(bytes, page)).devices[2].label, readBack);
    }

    void fileNotValidInTheCodePageIsReadAsWindows1252() {
        const QByteArray device = "0,\"500\",\"-500\",3,1,\"Temp \xb0"
                                  "C \x80\"\r\n";
        const SetupFileContent content = readSetupFile(generalLine + device, utf8);
        QCOMPARE(rendered(content.devices[0]), QString::fromUtf8("0|'500'|'-500'|3|1|'Temp \u00b0"
                                                                 "C \u20ac'"));
    }

    void lineBreakInsideATextKeepsNineLines() {
        SetupData data;
        data.devices[0].label = "two\r\nlines";
        const QByteArray bytes = writeSetupFile(data, utf8);
        QCOMPARE(bytes.count('\n'), 9);
        QCOMPARE(restored(readSetupFile(bytes, utf8)).devices[0].label, QString("two  lines"));
    }

    void reads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("problem");
        const QString general = "1|#F|#T|'5'|'100'";
        const QString example = "0|'500'|'-500'|3|1|'Label 1'";
        QTest::newRow("saved file") << generalLine + exampleDevice.repeated(8)
                                    << withDevices(general, QStringList(8, example)) << false;
        QTest::newRow("LF line ends, no end on the last line")
            << QByteArray("1,#FALSE#,#TRUE#,\"5\",\"100\"\n0,\"500\",\"-500\",3,1,\"Label 1\"")
            << withDevices(general, {example}) << false;
        QTest::newRow("unquoted fields are trimmed and typed")
            << generalLine + " 1 , #true# ,  word  ,-2.5e1,,\"\"\r\n"
            << withDevices(general, {"1|#T|'word'|-25|~|''"}) << false;
        QTest::newRow("quoted comma and doubled quote")
            << generalLine + "0 , \"a,b\" ,\"say \"\"hi\"\"\",3,0,\"\"\"\"\r\n"
            << withDevices(general, {"0|'a,b'|'say \"hi\"'|3|0|'\"'"}) << false;
        QTest::newRow("missing device lines are empty, not copies")
            << generalLine + exampleDevice + exampleDevice
            << withDevices(general, {example, example}) << false;
        QTest::newRow("unreadable device lines are skipped")
            << generalLine + exampleDevice + "0,\"500\",\"-500\",3,1\r\n" // too few
                   + "0,\"500\",\"-500\",3,1,\"x\",7\r\n"                 // too many
                   + "0,\"500\",\"-500\",3,1,\"Say \"hi\"\"\r\n"          // quote not doubled
                   + "0,\"500\",\"-500\",3,1,\"open\r\n"                  // unterminated
                   + "\r\n" + exampleDevice
            << withDevices(general, {example, "none", "none", "none", "none", "none", example})
            << false;
        const QStringList nothing = withDevices("none", {});
        QTest::newRow("empty file") << QByteArray() << nothing << true;
        QTest::newRow("line 1 short")
            << "1,#FALSE#,#TRUE#,\"5\"\r\n" + exampleDevice << nothing << true;
        QTest::newRow("line 1 unterminated")
            << "1,#FALSE#,#TRUE#,\"5\",\"100\r\n" + exampleDevice << nothing << true;
        QTest::newRow("line 1 blank") << "\r\n" + exampleDevice << nothing << true;
    }
    void reads() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QFETCH(bool, problem);
        const SetupFileContent content = readSetupFile(bytes, utf8);
        QCOMPARE(rendered(content), expected);
        QCOMPARE(!content.problem.isEmpty(), problem);
    }

    void hostileInput_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("generalRead");
        const qsizetype big = 10 * 1024 * 1024;
        QTest::newRow("10 MB unterminated quote") << '"' + QByteArray(big, 'x') << false;
        QTest::newRow("10 MB of commas") << QByteArray(big, ',') << false;
        QTest::newRow("10 MB of doubled quotes") << '"' + QByteArray(big, '"') << false;
        QByteArray garbage(big, '\0');
        quint32 state = 12345;
        for (char& c : garbage)
            c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
        QTest::newRow("10 MB of garbage") << garbage << false;
        QTest::newRow("10 MB label")
            << generalLine + "0,\"\",\"\",1,0,\"" + QByteArray(big, 'L') + "\"\r\n"
            << true;
    }
    void hostileInput() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, generalRead);
        const SetupFileContent content = readSetupFile(bytes, utf8);
        QCOMPARE(content.general.has_value(), generalRead);
        QCOMPARE(content.problem.isEmpty(), generalRead);
        if (generalRead)
            QCOMPARE(content.devices[0]->at(5).textValue()->size(), 10 * 1024 * 1024);
    }
};

KT7_REGISTER_TEST(SetupFileTest)
#include "SetupFileTest.moc"
