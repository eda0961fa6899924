// Start-up: window size from the desktop, device colours, log folder, first page, port lists.
#include "app/Form_KT7.h"
#include "chart/ChartComponent.h"
#include "chart/DeviceColours.h"
#include "platform/widgets/TwipsScale.h"
#include "platform/widgets/WindowFit.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QRadioButton>
#include <algorithm>

namespace kt7 {

namespace {
constexpr int ChartTopTwips = 6000;
constexpr int MinimumChartTwips = 600;
constexpr int PortNumbers = 10;
} // namespace

void Form_KT7::Form_Load() {
    applyWindowSize();
    colourDevices();
    if (!QDir(platform.desktop.applicationFolder()).exists()) {
        platform.messages.show(QStringLiteral("Disk C is not exist"));
        return;
    }
    logSession.prepareLogFolder();
    OptDev_Click(0);
    numberNewPorts();
    probePorts();
    for (QComboBox* list : CombMSCom)
        if (list->count() > 0)
            list->setCurrentIndex(0);
}

void Form_KT7::applyWindowSize() {
    const WorkArea area = platform.desktop.workArea();
    const TwipsScale scale(platform.desktop.logicalDpi());
    st.windowTopTwips = area.topTwips;
    st.windowHeightTwips = area.heightTwips - 800;
    st.chartHeightTwips = st.windowHeightTwips - ChartTopTwips - 400;
    move(x(), scale.px(st.windowTopTwips));
    fitToFrame();
}

// The frame is known only once a window manager has decorated the window, so this runs again
// when the window is shown or moved, and does nothing while the frame stays the same.
void Form_KT7::fitToFrame() {
    const QMargins frame(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    if (fittedFrame && *fittedFrame == frame)
        return;
    fittedFrame = frame;
    const TwipsScale scale(platform.desktop.logicalDpi());
    const WindowFit fit =
        fitWindow(st.windowHeightTwips, ChartTopTwips, MinimumChartTwips, frame, scale);
    setFixedSize(width(), fit.clientHeightPx);
    QRect chartRect = CWGraph1->geometry();
    chartRect.setHeight(fit.chartHeightPx);
    CWGraph1->setGeometry(chartRect);
}

// The colour bars only: the chart gives its traces and axes the same colours itself.
void Form_KT7::colourDevices() {
    for (int d = 0; d < DeviceCount; ++d) {
        QPalette palette = ShapeDevice[d]->palette();
        palette.setColor(QPalette::Window, deviceColour(d));
        ShapeDevice[d]->setPalette(palette);
    }
}

// Tries every port number once per list, as the lists are filled one entry at a time; a port
// that exists but cannot be opened (held by another program) is still listed.
void Form_KT7::probePorts() {
    for (QComboBox* list : CombMSCom)
        list->blockSignals(true);
    for (int n = 1; n <= PortNumbers; ++n)
        for (QComboBox* list : CombMSCom)
            if (logSession.portExists(n))
                list->addItem(QStringLiteral("COM %1").arg(n), n);
    // Filling a list selects its first entry silently; the selection below must be a change.
    for (QComboBox* list : CombMSCom) {
        list->setCurrentIndex(-1);
        list->blockSignals(false);
    }
    describePortEntries();
}

} // namespace kt7
