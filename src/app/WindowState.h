#pragma once

#include <QString>

namespace kt7 {

// The main window's own values besides its controls.
struct WindowState {
    QString LogFolder;      // with its trailing separator; empty until start-up sets it
    QString LogFileName;    // empty: no log open
    qint32 SampleCount = 0; // rows written since the last "New"
    qint32 IntervalCount = 0;
    int windowTopTwips = 0;
    int windowHeightTwips = 0;
    int chartHeightTwips = 0;
};

} // namespace kt7
