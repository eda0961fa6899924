#pragma once

#include "platform/widgets/TwipsScale.h"

#include <QMargins>

namespace kt7 {

struct WindowFit {
    int clientHeightPx = 0;
    int chartHeightPx = 0;
};

// The window's height from the desktop is the whole window, frame included, and the chart ends
// 400 twips above the window's bottom edge. The frame is what the window manager adds around the
// client area (none offscreen). A chart never gets less than the minimum height.
inline WindowFit fitWindow(int windowHeightTwips, int chartTopTwips, int minimumChartTwips,
                           const QMargins& frame, const TwipsScale& scale) {
    const int bottomEdgeInClient = scale.px(windowHeightTwips) - frame.top();
    const int chartTop = scale.px(chartTopTwips);
    const int chart =
        std::max(bottomEdgeInClient - scale.px(400) - chartTop, scale.px(minimumChartTwips));
    const int client = std::max(bottomEdgeInClient - frame.bottom(),
                                chartTop + chart + scale.px(400) - frame.bottom());
    return {client, chart};
}

} // namespace kt7
