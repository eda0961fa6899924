#include "app/Form_KT7.h"

#include "platform/widgets/DropDownList.h"

#include "chart/ChartComponent.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kt7 {

Form_KT7::Form_KT7(const Platform& platform, QWidget* parent)
    : QWidget(parent), platform(platform),
      logSession(platform.ports, platform.clock, platform.messages, platform.desktop.codePage(),
                 platform.desktop.logFolder()) {
    logSession.addSink(&chartFeed);
    buildWindow();
    connectHandlers();
    Form_Load();
    attachChartTools();
    TimerRecAI->start();
}

Form_KT7::~Form_KT7() {
    closeLog();
}

void Form_KT7::connectHandlers() {
    for (int i = 0; i < 3; ++i)
        connect(OptDev[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptDev_Click(i);
        });
    for (int i = 0; i < DeviceCount; ++i) {
        connect(CombMSCom[i], &QComboBox::currentIndexChanged, this, [this, i](int entry) {
            if (entry >= 0)
                CombMSCom_Click(i);
        });
        if (auto* list = qobject_cast<DropDownList*>(CombMSCom[i]))
            connect(list, &DropDownList::dropDown, this, [this, i] { CombMSCom_DropDown(i); });
        connect(Ch_Link[i], &QPushButton::toggled, this, [this, i] { Ch_Link_Click(i); });
        connect(ComTest[i], &QPushButton::clicked, this, [this, i] { ComTest_Click(i); });
        connect(Tare[i], &QPushButton::toggled, this, [this, i] { Tare_Click(i); });
        connect(ChY_Auto[i], &QCheckBox::stateChanged, this, [this, i] { ChY_Auto_Click(i); });
        connect(TextYMax[i], &QLineEdit::textChanged, this, [this, i] { TextYMax_Change(i); });
        connect(TextYMin[i], &QLineEdit::textChanged, this, [this, i] { TextYMin_Change(i); });
        connect(TextLab[i], &QLineEdit::textChanged, this,
                [this, i](const QString& text) { logSession.setLabel(i, text); });
    }
    // A link, break or relink that no handler of this window made.
    connect(&logSession, &LoggerSession::slotChanged, this, &Form_KT7::showDevice);
    for (int i = 0; i < 2; ++i) {
        connect(ComSetFile[i], &QPushButton::clicked, this, [this, i] { ComSetFile_Click(i); });
        connect(ComFile[i], &QPushButton::clicked, this, [this, i] { ComFile_Click(i); });
    }
    connect(TimerRecAI, &QTimer::timeout, this, &Form_KT7::TimerRecAI_Timer);
    connect(CheckLogAuto, &QCheckBox::stateChanged, this, &Form_KT7::CheckLogAuto_Click);
    // The mode and the manual request have no handlers of their own; the session keeps them.
    connect(OptLogMode[0], &QRadioButton::toggled, this,
            [this] { logSession.setFastMode(OptLogMode[0]->isChecked()); });
    connect(CheckLogManual, &QPushButton::toggled, this,
            [this](bool on) { logSession.requestSample(on); });
    connect(TextLogInterval, &QLineEdit::textChanged, this, &Form_KT7::TextLogInterval_Change);
    connect(ChSetY, &QCheckBox::stateChanged, this, &Form_KT7::ChSetY_Click);
    Text_Chart_Pts->installEventFilter(this);
    // A set-up file can leave a box partly checked; once the user clicks it, it is an ordinary
    // two-state box again instead of cycling through the partial state.
    for (QCheckBox* box : findChildren<QCheckBox*>())
        connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked)
                box->setTristate(false);
        });
}

bool Form_KT7::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text_Chart_Pts) {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            Text_Chart_Pts_KeyUp(enter ? 13 : key->key(), key->modifiers());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            Text_Chart_Pts_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form_KT7::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitToFrame();
}

void Form_KT7::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    fitToFrame();
}

void Form_KT7::closeEvent(QCloseEvent* event) {
    closeLog();
    logSession.closeAllPorts();
    event->accept();
}

} // namespace kt7
