#pragma once

#include <QString>

namespace kt7 {

// The main window's own values besides its controls; the log and the devices are the session's.
struct WindowState {
    int windowTopTwips = 0;
    int windowHeightTwips = 0;
    int chartHeightTwips = 0;
};

} // namespace kt7
