// The per-device controls: eight columns 1320 twips apart in their frames.
#include "app/Form_KT7.h"
#include "platform/widgets/LayoutKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kt7 {

using namespace layoutColour;

namespace {
constexpr int ColumnStep = 1320;

Twips column(int baseLeft, int top, int width, int height, int index) {
    return {baseLeft + ColumnStep * index, top, width, height};
}

const std::array<const char*, DeviceCount> yMaxTexts{"500", "500", "1000", "8000",
                                                     "200", "60",  "70",   "80"};
} // namespace

void Form_KT7::buildPages() {
    const LayoutKit kit(platform.desktop.logicalDpi());
    const QFont small = kit.windowDefaultFont();
    QFont limits = kit.standardFont();
    limits.setPointSizeF(9.75);

    for (int i = 0; i < DeviceCount; ++i) {
        const QString n = QString::number(i + 1);
        CombMSCom[i] = kit.dropDownList(FramComSet, arrayName(QStringLiteral("CombMSCom"), i),
                                        column(240, 360, 1215, 300, i), small);
        ComTest[i] =
            kit.button(FramComSet, arrayName(QStringLiteral("ComTest"), i),
                       QStringLiteral("Test Device ") + n, column(240, 840, 1215, 615, i), small);
        Ch_Link[i] =
            kit.toggleButton(FramLinkSet, arrayName(QStringLiteral("Ch_Link"), i),
                             QStringLiteral("Link Off"), column(240, 360, 1215, 615, i), small);
        Tare[i] = kit.toggleButton(FrameTare, arrayName(QStringLiteral("Tare"), i),
                                   QStringLiteral("Tare Off Device ") + n,
                                   column(240, 360, 1215, 615, i), small);
        ChY_Auto[i] = kit.checkBox(FrameY, arrayName(QStringLiteral("ChY_Auto"), i),
                                   QStringLiteral("Auto"), column(600, 120, 915, 375, i), small);
        const QString max = QString::fromLatin1(yMaxTexts[i]);
        TextYMax[i] = kit.textBox(FrameY, arrayName(QStringLiteral("TextYMax"), i), max,
                                  column(240, 480, 1215, 300, i), Qt::AlignHCenter, limits);
        TextYMin[i] =
            kit.textBox(FrameY, arrayName(QStringLiteral("TextYMin"), i), QLatin1Char('-') + max,
                        column(240, 935, 1215, 300, i), Qt::AlignHCenter, limits);
    }
    ComSetFile[0] = kit.button(FramComSet, arrayName(QStringLiteral("ComSetFile"), 0),
                               QStringLiteral("Open Set Up File"), {6240, 1560, 1215, 615}, small);
    ComSetFile[1] = kit.button(FramComSet, arrayName(QStringLiteral("ComSetFile"), 1),
                               QStringLiteral("Save Set Up File"), {8760, 1560, 1215, 615}, small);
}

void Form_KT7::buildDeviceColumns() {
    const LayoutKit kit(platform.desktop.logicalDpi());
    const QFont ui = kit.standardFont();
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(12.0);

    for (int i = 0; i < DeviceCount; ++i) {
        const QString n = QString::number(i + 1);
        ShapeDevice[i] = kit.shape(FrameCurVal, arrayName(QStringLiteral("ShapeDevice"), i),
                                   column(240, 240, 1215, 80, i));
        LabDev[i] = kit.label(FrameCurVal, arrayName(QStringLiteral("LabDev"), i),
                              QStringLiteral("Device ") + n, column(240, 360, 1215, 375, i),
                              Qt::AlignHCenter, arial);
        LayoutKit::setTextColour(LabDev[i], nearBlack);
        // Created after the title, so the editable label box is drawn in front of it.
        // The design captions are the session's slots as they start.
        const DeviceSlot& slot = logSession.slot(i);
        TextLab[i] = kit.textBox(FrameCurVal, arrayName(QStringLiteral("TextLab"), i), slot.label,
                                 column(240, 360, 1215, 375, i), Qt::AlignHCenter, ui);
        LayoutKit::setBackground(TextLab[i], QColor(192, 255, 192));
        LayoutKit::setTextColour(TextLab[i], nearBlack);
        LabMSData[i] =
            kit.label(FrameCurVal, arrayName(QStringLiteral("LabMSData"), i), slot.valueText,
                      column(240, 960, 1215, 420, i), Qt::AlignHCenter, ui);
        LabMSUnit[i] = kit.label(FrameCurVal, arrayName(QStringLiteral("LabMSUnit"), i), slot.unit,
                                 column(240, 1320, 1215, 375, i), Qt::AlignHCenter, ui);
        LayoutKit::setTextColour(LabMSData[i], valueBlue);
        LayoutKit::setTextColour(LabMSUnit[i], valueBlue);
    }
}

} // namespace kt7
