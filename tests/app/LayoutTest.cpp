#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>
#include <cmath>

using namespace kt7test;

namespace {

// What the layout lists for one control: kind, caption or text, twips rectangle inside its
// container, the container, and its start value (checked state) where it has one.
struct Expected {
    QString name;
    QString kind; // Qt class; "toggle" is a check box drawn as a button
    QString text;
    QRect twips;
    QString parent;
    int value = -1; // 1 checked, 0 unchecked, -1 no value
};
} // namespace
Q_DECLARE_METATYPE(Expected)
namespace {

QList<Expected> expectedControls() {
    QList<Expected> list{
        {"OptDev(0)",
         "QRadioButton",
         "Set Communications ect.",
         {1560, 120, 2655, 375},
         "Form_KT7",
         1},
        {"OptDev(1)", "QRadioButton", "Device Link", {4920, 120, 1575, 375}, "Form_KT7", 0},
        {"OptDev(2)", "QRadioButton", "Data Logger", {8040, 120, 1575, 375}, "Form_KT7", 0},
        {"FrameLogger", "QGroupBox", "Data Logger", {120, 600, 10935, 2055}, "Form_KT7"},
        {"FramLinkSet", "QGroupBox", "Device Link", {120, 1560, 10935, 1095}, "Form_KT7"},
        {"FramComSet", "QGroupBox", "Set Communications", {120, 1680, 10935, 2295}, "Form_KT7"},
        {"FrameY", "QGroupBox", "Y Axis", {120, 2640, 10935, 1335}, "Form_KT7"},
        {"FrameTare", "QGroupBox", "Tare", {120, 2760, 10935, 1095}, "Form_KT7"},
        {"FrameCurVal", "QGroupBox", "", {120, 3960, 10935, 1935}, "Form_KT7"},
        {"Label3", "QLabel", "Total Samples", {240, 600, 1335, 255}, "FrameLogger"},
        {"LabelSamples", "QLabel", "0", {1680, 600, 1215, 375}, "FrameLogger"},
        {"Label4", "QLabel", "Sample Time Counting", {240, 1200, 2655, 255}, "FrameLogger"},
        {"LabInvCount", "QLabel", "5 Sec  *Count  0", {240, 1440, 2655, 375}, "FrameLogger"},
        {"FrameLogFile", "QGroupBox", "Log File", {3120, 240, 1215, 1695}, "FrameLogger"},
        {"FrameInterval", "QGroupBox", "Interval", {4560, 240, 1815, 1695}, "FrameLogger"},
        {"FrameLogMode", "QGroupBox", "Mode", {6600, 240, 1335, 1695}, "FrameLogger"},
        {"FrameChartSet", "QGroupBox", "Chart Set", {8160, 240, 2535, 1695}, "FrameLogger"},
        {"ComFile(0)", "QPushButton", "New", {120, 360, 975, 495}, "FrameLogFile"},
        {"ComFile(1)", "QPushButton", "Close", {120, 1080, 975, 495}, "FrameLogFile"},
        {"OptLogMode(0)", "QRadioButton", "Fast", {240, 360, 1455, 375}, "FrameInterval", 0},
        {"OptLogMode(1)", "QRadioButton", "Sec", {240, 720, 1455, 495}, "FrameInterval", 1},
        {"TextLogInterval", "QLineEdit", "5", {120, 1200, 1455, 375}, "FrameInterval"},
        {"CheckLogAuto", "QCheckBox", "Auto Sample", {120, 240, 1095, 615}, "FrameLogMode", 0},
        {"CheckLogManual", "toggle", "Manual Sample", {120, 960, 1095, 615}, "FrameLogMode", 0},
        {"ChChartEnable", "QCheckBox", "Chart On", {120, 240, 1455, 375}, "FrameChartSet", 1},
        {"ChSetY", "QCheckBox", "Set Y Axis ", {120, 600, 1455, 375}, "FrameChartSet", 0},
        {"Text_Chart_Pts", "QLineEdit", "300", {120, 1080, 1455, 375}, "FrameChartSet"},
        {"Label2", "QLabel", "X-Points", {1560, 1080, 855, 375}, "FrameChartSet"},
        {"ComSetFile(0)", "QPushButton", "Open Set Up File", {6240, 1560, 1215, 615}, "FramComSet"},
        {"ComSetFile(1)", "QPushButton", "Save Set Up File", {8760, 1560, 1215, 615}, "FramComSet"},
    };
    const QStringList yMax{"500", "500", "1000", "8000", "200", "60", "70", "80"};
    for (int i = 0; i < 8; ++i) {
        const QString n = QString::number(i + 1);
        const int step = 1320 * i;
        auto at = [&](const char* array) { return QStringLiteral("%1(%2)").arg(array).arg(i); };
        list.append({
            {at("CombMSCom"), "QComboBox", "COM 1", {240 + step, 360, 1215, 300}, "FramComSet"},
            {at("ComTest"),
             "QPushButton",
             "Test Device " + n,
             {240 + step, 840, 1215, 615},
             "FramComSet"},
            {at("Ch_Link"), "toggle", "Link Off", {240 + step, 360, 1215, 615}, "FramLinkSet", 0},
            {at("Tare"),
             "toggle",
             "Tare Off Device " + n,
             {240 + step, 360, 1215, 615},
             "FrameTare",
             0},
            {at("ChY_Auto"), "QCheckBox", "Auto", {600 + step, 120, 915, 375}, "FrameY", 0},
            {at("TextYMax"), "QLineEdit", yMax[i], {240 + step, 480, 1215, 300}, "FrameY"},
            {at("TextYMin"), "QLineEdit", "-" + yMax[i], {240 + step, 935, 1215, 300}, "FrameY"},
            {at("ShapeDevice"), "QFrame", "", {240 + step, 240, 1215, 80}, "FrameCurVal"},
            {at("LabDev"), "QLabel", "Device " + n, {240 + step, 360, 1215, 375}, "FrameCurVal"},
            {at("TextLab"), "QLineEdit", "Label " + n, {240 + step, 360, 1215, 375}, "FrameCurVal"},
            {at("LabMSData"), "QLabel", "32000.0", {240 + step, 960, 1215, 420}, "FrameCurVal"},
            {at("LabMSUnit"),
             "QLabel",
             i == 0 ? "unit" : "us",
             {240 + step, 1320, 1215, 375},
             "FrameCurVal"},
        });
    }
    return list;
}

QString textOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* list = qobject_cast<const QComboBox*>(widget))
        return list->currentText();
    return {};
}

// The Qt control a widget is, looking past the program's own drawing subclasses.
QString qtKind(const QWidget* widget) {
    const QMetaObject* meta = widget->metaObject();
    while (meta && !QByteArray(meta->className()).startsWith('Q'))
        meta = meta->superClass();
    return meta ? QString::fromLatin1(meta->className()) : QString();
}

int px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> shared;

  private slots:
    void initTestCase() { shared = std::make_unique<WindowFixture>(std::initializer_list<int>{1}); }
    void cleanupTestCase() { shared.reset(); }

    void everyControlAsLaidOut_data() {
        QTest::addColumn<Expected>("expected");
        for (const Expected& control : expectedControls())
            QTest::newRow(qPrintable(control.name)) << control;
    }
    void everyControlAsLaidOut() {
        QFETCH(Expected, expected);
        const QWidget* widget = shared->control<QWidget>(expected.name);
        QVERIFY2(widget, "control missing");
        const bool toggle = expected.kind == QLatin1String("toggle");
        QCOMPARE(qtKind(widget), toggle ? QStringLiteral("QPushButton") : expected.kind);
        if (const auto* button = qobject_cast<const QPushButton*>(widget))
            QCOMPARE(button->isCheckable(), toggle);
        QCOMPARE(textOf(widget), expected.text);
        QCOMPARE(widget->parentWidget()->objectName(), expected.parent);
        const QRect& t = expected.twips;
        QCOMPARE(widget->geometry(),
                 QRect(px(t.left()), px(t.top()), px(t.width()), px(t.height())));
        if (expected.value >= 0)
            QCOMPARE(qobject_cast<const QAbstractButton*>(widget)->isChecked(),
                     expected.value == 1);
    }

    void windowCaptionSizeAndFonts() {
        WindowFixture fixture({1});
        QCOMPARE(fixture.window->windowTitle(), QStringLiteral("KT7 RS232 Data Logger "));
        QCOMPARE(fixture.window->width(), px(11145));
        QCOMPARE(fixture.window->minimumSize(), fixture.window->maximumSize());
        QVERIFY(!fixture.window->windowIcon().isNull());
        QCOMPARE(fixture.control<QWidget>(QStringLiteral("LabDev(0)"))->font().pointSizeF(), 12.0);
        QCOMPARE(fixture.control<QWidget>(QStringLiteral("TextYMax(2)"))->font().pointSizeF(),
                 9.75);
        QCOMPARE(fixture.control<QWidget>(QStringLiteral("OptDev(0)"))->font().pointSizeF(), 12.0);
        QVERIFY(fixture.control<QWidget>(QStringLiteral("ComTest(0)"))->font().pointSizeF() < 12.0);
    }

    void labelBoxesHideTheDeviceTitles() {
        WindowFixture fixture({1});
        const QWidget* title = fixture.control<QWidget>(QStringLiteral("LabDev(3)"));
        const QWidget* label = fixture.control<QWidget>(QStringLiteral("TextLab(3)"));
        const QObjectList& order = title->parentWidget()->children();
        QVERIFY(order.indexOf(label) > order.indexOf(title)); // later siblings draw in front
        QCOMPARE(fixture.control<QLineEdit>(QStringLiteral("TextLab(3)"))
                     ->palette()
                     .color(QPalette::Base),
                 QColor(192, 255, 192));
    }
};

KT7_REGISTER_TEST(LayoutTest)
#include "LayoutTest.moc"
