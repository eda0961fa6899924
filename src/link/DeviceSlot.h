#pragma once

#include "acquisition/LatestReading.h"
#include "acquisition/TareOffset.h"
#include "text/NumberText.h"

#include <QString>

namespace kt7 {

// Off: port closed. Linking: port open while the link listens for a first reading. Linked: read
// by every tick. Waiting: its port broke (or it never spoke) and it links again by itself.
enum class LinkState { Off, Linking, Linked, Waiting };

// One of the eight devices, as both front ends show it and the sampling tick reads it.
struct DeviceSlot {
    int portNumber = 0; // 1 = COM 1; 0 when no port was found
    LinkState link = LinkState::Off;
    QString valueText = QStringLiteral("32000.0"); // the newest value, as number text
    QString unit;                                  // its lines end in this unit
    QString label;
    bool tareOn = false;
    TareOffset tare;
    // Take the tare from the first reading of the next link (a logger without a window).
    bool tareAtLink = false;
    // Linked again by itself after a break: a further break is not told until a link by hand.
    bool relinkedAlone = false;
    int relinkPause = 0; // relink rounds to skip after its instrument stayed silent

    // A reading a link or a port test found becomes the value and unit shown.
    void show(const LatestReading& reading) {
        valueText = numberText(reading.value);
        unit = reading.unit;
    }

    // Its link box is down: no other device may link its port.
    bool wanted() const { return link != LinkState::Off; }
};

} // namespace kt7
