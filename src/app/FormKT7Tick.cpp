// The once-per-second sampling tick and the sampling controls.
#include "acquisition/IntervalRules.h"
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kt7 {

namespace {
// One failing step of the tick must never stop the others.
template <typename Step> void guarded(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}
} // namespace

void Form_KT7::TimerRecAI_Timer() {
    st.IntervalCount += elapsed.update(platform.clock.now().time().second());

    PollResult poll;
    guarded([&] {
        std::array<DeviceInput, DeviceCount> inputs;
        for (int i = 0; i < DeviceCount; ++i)
            inputs[i] = {Ch_Link[i]->isChecked(), MSCom[i].get(), LabMSUnit[i]->text(),
                         st.TareOffsets[i]};
        poll = poller.poll(inputs);
        for (int i = 0; i < DeviceCount; ++i)
            if (poll.valueLabels[i])
                LabMSData[i]->setText(*poll.valueLabels[i]);
        for (int i = 0; i < DeviceCount; ++i)
            if (poll.unitChanges[i])
                QMetaObject::invokeMethod(
                    this, [this, i, change = *poll.unitChanges[i]] { tellUnitChange(i, change); },
                    Qt::QueuedConnection);
    });
    // A tick whose data completed no line has nothing to chart or log.
    const bool data = poll.hasRows();
    guarded([&] {
        if (checkValue(ChChartEnable) == 1 && data)
            CWGraph1->appendBlock(poll.block);
    });
    guarded([&] {
        if (data)
            CWGraph1->setAxisCaption(
                ChartComponent::XAxis,
                QStringLiteral("1/%1 sec ").arg(QString::number(poll.lastPieceCount)));
    });
    guarded([&] {
        for (int i = 0; i < DeviceCount; ++i)
            if (checkValue(ChY_Auto[i]) == 1)
                CWGraph1->rescaleAxis(ChartComponent::yAxisOf(i));
    });
    const bool logOpen = !st.LogFileName.isEmpty();
    const bool autoSample = checkValue(CheckLogAuto) == 1;
    guarded([&] {
        if (logOpen && autoSample && data && OptLogMode[0]->isChecked()) {
            for (int r = 0; r < poll.block.rowCount(); ++r)
                WriteLogRow(poll.block.row(r));
            LabelSamples->setText(QString::number(st.SampleCount));
        }
    });
    // Only a box that is really unchecked stops the interval count; a partly checked box (value 2
    // from a set-up file) keeps counting, so interval rows go on.
    if (checkValue(CheckLogAuto) == 0) {
        st.IntervalCount = 0;
        elapsed.resetStep();
    }
    guarded([&] {
        const std::optional<int> interval = intervalSeconds(TextLogInterval->text());
        const bool due = interval && st.IntervalCount >= *interval;
        if (logOpen && (due || checkValue(CheckLogManual) == 1) && data) {
            setCheckValue(CheckLogManual, 0);
            WriteLogRow(poll.block.row(poll.block.rowCount() - 1));
            LabelSamples->setText(QString::number(st.SampleCount));
            st.IntervalCount = 0;
        }
    });
    guarded([&] {
        if (logOpen && autoSample && data && OptLogMode[1]->isChecked())
            LabInvCount->setText(TextLogInterval->text() + QStringLiteral(" Sec  *Count  ") +
                                 QString::number(st.IntervalCount));
    });
    finishTickRows();
}

// Told after the tick, like a broken port, so the box never interrupts a tick halfway.
void Form_KT7::tellUnitChange(int index, const UnitChange& change) {
    const QString now = change.newUnit.isEmpty()
                            ? QString()
                            : QStringLiteral(" It now sends \"%1\".").arg(change.newUnit);
    platform.messages.show(
        QStringLiteral("Device %1 (%2) no longer sends lines in the unit \"%3\" it was linked "
                       "with.%4 Its readings are not shown or logged until it is linked again; "
                       "linking it again reads the new unit.")
            .arg(QString::number(index + 1), portName(index), change.linkedUnit, now));
}

void Form_KT7::CheckLogAuto_Click() {
    if (checkValue(CheckLogAuto) == 1) {
        st.IntervalCount = 0;
        elapsed.resetStep();
    }
}

void Form_KT7::TextLogInterval_Change() {
    if (const std::optional<QString> text = normalisedIntervalText(TextLogInterval->text()))
        TextLogInterval->setText(*text);
}

} // namespace kt7
