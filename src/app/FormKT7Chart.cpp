// Page selector and chart settings: which frames show, Y limits, the X span.
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"
#include "text/NumberFromText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace kt7 {

// The option index is not used: the pages follow the state of all three options.
void Form_KT7::OptDev_Click(int) {
    FramComSet->setVisible(OptDev[0]->isChecked());
    FrameTare->setVisible(!OptDev[0]->isChecked());
    FramLinkSet->setVisible(OptDev[1]->isChecked());
    FrameLogger->setVisible(OptDev[2]->isChecked());
    if (!OptDev[2]->isChecked())
        FrameY->setVisible(false);
    if ((OptDev[1]->isChecked() || OptDev[2]->isChecked()) && checkValue(ChSetY) == 1) {
        FrameY->setVisible(true);
        FrameTare->setVisible(!FrameY->isVisibleTo(this));
    }
}

void Form_KT7::ChSetY_Click() {
    FrameY->setVisible(checkValue(ChSetY) != 0);
    FrameTare->setVisible(!FrameY->isVisibleTo(this));
}

void Form_KT7::ApplyYLimits(int index) {
    if (checkValue(ChY_Auto[index]) != 0)
        return;
    CWGraph1->setAxisMaximum(ChartComponent::yAxisOf(index),
                             numberFromText(TextYMax[index]->text()));
    CWGraph1->setAxisMinimum(ChartComponent::yAxisOf(index),
                             numberFromText(TextYMin[index]->text()));
}

void Form_KT7::ChY_Auto_Click(int index) {
    CWGraph1->rescaleAxis(ChartComponent::yAxisOf(index));
    ApplyYLimits(index);
}

void Form_KT7::TextYMax_Change(int index) {
    ApplyYLimits(index);
}

void Form_KT7::TextYMin_Change(int index) {
    ApplyYLimits(index);
}

void Form_KT7::Text_Chart_Pts_KeyUp(int keyCode, Qt::KeyboardModifiers) {
    if (keyCode != 13)
        return;
    CWGraph1->setAxisMaximum(ChartComponent::XAxis, numberFromText(Text_Chart_Pts->text()));
    CWGraph1->setAxisMinimum(ChartComponent::XAxis, 0);
    CWGraph1->resumeLive();
}

} // namespace kt7
