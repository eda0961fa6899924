// The window's controls: names, captions, twips geometry, fonts and colours of the layout.
#include "app/AppTitle.h"
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"
#include "platform/widgets/LayoutKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kt7 {

using namespace layoutColour;

void Form_KT7::buildWindow() {
    const LayoutKit kit(platform.desktop.logicalDpi());
    const QFont ui = kit.standardFont();
    const QFont small = kit.windowDefaultFont();

    setObjectName(QStringLiteral("Form_KT7"));
    setWindowTitle(applicationTitle());
    setWindowIcon(QIcon(QStringLiteral(":/kt7.xpm")));
    setFont(ui);
    setFixedSize(kit.scale().px(11145), kit.scale().px(11130));

    const QStringList pages{QStringLiteral("Set Communications ect."),
                            QStringLiteral("Device Link"), QStringLiteral("Data Logger")};
    const std::array<Twips, 3> pageAt{
        {{1560, 120, 2655, 375}, {4920, 120, 1575, 375}, {8040, 120, 1575, 375}}};
    for (int i = 0; i < 3; ++i)
        OptDev[i] =
            kit.option(this, arrayName(QStringLiteral("OptDev"), i), pages[i], pageAt[i], ui);
    OptDev[0]->setChecked(true);

    FrameLogger = kit.frame(this, QStringLiteral("FrameLogger"), QStringLiteral("Data Logger"),
                            {120, 600, 10935, 2055}, ui);
    FramLinkSet = kit.frame(this, QStringLiteral("FramLinkSet"), QStringLiteral("Device Link"),
                            {120, 1560, 10935, 1095}, small);
    FramComSet = kit.frame(this, QStringLiteral("FramComSet"), QStringLiteral("Set Communications"),
                           {120, 1680, 10935, 2295}, small);
    FramComSet->setVisible(false);
    FrameY = kit.frame(this, QStringLiteral("FrameY"), QStringLiteral("Y Axis"),
                       {120, 2640, 10935, 1335}, small);
    FrameY->setVisible(false);
    FrameTare = kit.frame(this, QStringLiteral("FrameTare"), QStringLiteral("Tare"),
                          {120, 2760, 10935, 1095}, small);
    FrameCurVal =
        kit.frame(this, QStringLiteral("FrameCurVal"), QString(), {120, 3960, 10935, 1935}, ui);

    CWGraph1 = new ChartComponent(this);
    CWGraph1->setObjectName(QStringLiteral("CWGraph1"));
    CWGraph1->setGeometry(kit.scale().rect(120, 6000, 10935, 4575));

    TimerRecAI = new QTimer(this);
    TimerRecAI->setObjectName(QStringLiteral("TimerRecAI"));
    TimerRecAI->setInterval(1000);

    buildLoggerPage();
    buildPages();
    buildDeviceColumns();
}

void Form_KT7::buildLoggerPage() {
    const LayoutKit kit(platform.desktop.logicalDpi());
    const QFont ui = kit.standardFont();
    const Qt::Alignment right = Qt::AlignRight;

    Label3 = kit.label(FrameLogger, QStringLiteral("Label3"), QStringLiteral("Total Samples"),
                       {240, 600, 1335, 255}, right, ui);
    LabelSamples = kit.label(FrameLogger, QStringLiteral("LabelSamples"), QStringLiteral("0"),
                             {1680, 600, 1215, 375}, right, ui);
    LayoutKit::setBackground(LabelSamples, QColor(255, 255, 192));
    Label4 =
        kit.label(FrameLogger, QStringLiteral("Label4"), QStringLiteral("Sample Time Counting"),
                  {240, 1200, 2655, 255}, Qt::AlignLeft, ui);
    LabInvCount = kit.label(FrameLogger, QStringLiteral("LabInvCount"),
                            QStringLiteral("5 Sec  *Count  0"), {240, 1440, 2655, 375}, right, ui);
    LayoutKit::setBackground(LabInvCount, QColor(192, 255, 255));
    for (QLabel* label : {Label3, LabelSamples, Label4, LabInvCount})
        LayoutKit::setTextColour(label, nearBlack);

    FrameLogFile = kit.frame(FrameLogger, QStringLiteral("FrameLogFile"),
                             QStringLiteral("Log File"), {3120, 240, 1215, 1695}, ui);
    FrameInterval = kit.frame(FrameLogger, QStringLiteral("FrameInterval"),
                              QStringLiteral("Interval"), {4560, 240, 1815, 1695}, ui);
    FrameLogMode = kit.frame(FrameLogger, QStringLiteral("FrameLogMode"), QStringLiteral("Mode"),
                             {6600, 240, 1335, 1695}, ui);
    QFont chartCaption = ui;
    chartCaption.setPointSizeF(11.25);
    FrameChartSet = kit.frame(FrameLogger, QStringLiteral("FrameChartSet"),
                              QStringLiteral("Chart Set"), {8160, 240, 2535, 1695}, chartCaption);
    for (QGroupBox* box : {FrameLogFile, FrameInterval, FrameLogMode})
        LayoutKit::setCaptionColour(box, captionRed);
    LayoutKit::setCaptionColour(FrameChartSet, captionBlue);

    ComFile[0] = kit.button(FrameLogFile, arrayName(QStringLiteral("ComFile"), 0),
                            QStringLiteral("New"), {120, 360, 975, 495}, ui);
    ComFile[1] = kit.button(FrameLogFile, arrayName(QStringLiteral("ComFile"), 1),
                            QStringLiteral("Close"), {120, 1080, 975, 495}, ui);

    OptLogMode[0] = kit.option(FrameInterval, arrayName(QStringLiteral("OptLogMode"), 0),
                               QStringLiteral("Fast"), {240, 360, 1455, 375}, ui);
    OptLogMode[1] = kit.option(FrameInterval, arrayName(QStringLiteral("OptLogMode"), 1),
                               QStringLiteral("Sec"), {240, 720, 1455, 495}, ui);
    OptLogMode[1]->setChecked(true);
    TextLogInterval = kit.textBox(FrameInterval, QStringLiteral("TextLogInterval"),
                                  QStringLiteral("5"), {120, 1200, 1455, 375}, right, ui);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{OptLogMode[0], OptLogMode[1], TextLogInterval})
        LayoutKit::setTextColour(widget, nearBlack);

    CheckLogAuto = kit.checkBox(FrameLogMode, QStringLiteral("CheckLogAuto"),
                                QStringLiteral("Auto Sample"), {120, 240, 1095, 615}, ui);
    CheckLogManual = kit.toggleButton(FrameLogMode, QStringLiteral("CheckLogManual"),
                                      QStringLiteral("Manual Sample"), {120, 960, 1095, 615}, ui);

    ChChartEnable = kit.checkBox(FrameChartSet, QStringLiteral("ChChartEnable"),
                                 QStringLiteral("Chart On"), {120, 240, 1455, 375}, ui);
    ChChartEnable->setChecked(true);
    ChSetY = kit.checkBox(FrameChartSet, QStringLiteral("ChSetY"), QStringLiteral("Set Y Axis "),
                          {120, 600, 1455, 375}, ui);
    Text_Chart_Pts = kit.textBox(FrameChartSet, QStringLiteral("Text_Chart_Pts"),
                                 QStringLiteral("300"), {120, 1080, 1455, 375}, right, ui);
    Label2 = kit.label(FrameChartSet, QStringLiteral("Label2"), QStringLiteral("X-Points"),
                       {1560, 1080, 855, 375}, Qt::AlignLeft, ui);
    // The coloured frame captions must not colour the controls inside them.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             CheckLogAuto, CheckLogManual, ChChartEnable, ChSetY, Text_Chart_Pts, Label2})
        LayoutKit::setTextColour(widget, Qt::black);
}

} // namespace kt7
