#pragma once

#include "setup/SetupValue.h"
#include "text/CodePage.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace kt7 {

// The set-up file: nine comma-separated lines of 8-bit text in the desktop's code page, each
// ended by CR LF. Line 1 holds
// the sampling options and the chart's X-points, lines 2 to 9 one device each.

// Far beyond any real set-up file; a larger file is not one and is not read into memory.
constexpr qint64 MaxSetupFileBytes = 64LL * 1024 * 1024;

struct SetupGeneral {
    int autoSample = 0;
    bool fast = false;
    bool sec = true;
    QString interval;
    QString chartPoints;
    bool operator==(const SetupGeneral&) const = default;
};

struct SetupDevice {
    int yAuto = 0;
    QString yMax;
    QString yMin;
    int port = 0; // 0 when the device has no port to choose from
    int tare = 0;
    QString label;
    bool operator==(const SetupDevice&) const = default;
};

struct SetupData {
    SetupGeneral general;
    std::array<SetupDevice, 8> devices;
    bool operator==(const SetupData&) const = default;
};

// Integers in decimal, booleans as #TRUE#/#FALSE#, texts in double quotes with an inner double
// quote doubled. Line breaks inside a text become blanks, since the file has one record a line.
QByteArray writeSetupFile(const SetupData& data, const CodePage& codePage);

// The fields of a file as read: general is empty when line 1 cannot be read, and then problem
// says why and nothing else is read. A device line that is missing or unreadable leaves that
// device empty, so the device keeps its current settings. Texts are read in the given code page,
// or as Windows-1252 when the file is not valid in it.
struct SetupFileContent {
    std::optional<std::array<SetupValue, 5>> general;
    std::array<std::optional<std::array<SetupValue, 6>>, 8> devices;
    QString problem;
};

SetupFileContent readSetupFile(const QByteArray& bytes, const CodePage& codePage);

} // namespace kt7
