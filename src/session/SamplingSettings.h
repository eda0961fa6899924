#pragma once

#include <QString>

namespace kt7 {

// How the tick logs: the sampling controls of the window, or the set-up file and command line of
// a logger without a window.
struct SamplingSettings {
    int autoSample = 0; // 0 off, 1 on, 2 partly: counts the interval but writes no Fast rows
    bool fastMode = false;
    bool intervalMode = true;
    QString intervalText = QStringLiteral("5");
    bool manualRequest = false;
};

} // namespace kt7
