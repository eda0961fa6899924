#pragma once

#include "alarms/AlarmSettings.h"

#include <QByteArray>
#include <QString>

namespace kt7 {

// alarms.conf: UTF-8 text, "[device N]" sections (N from 1 to 8) with the keys high, low,
// deadband, delay and silent, and a "[notify]" section with command and beep (yes or no). Every
// key is optional; numbers have a point whatever the desktop; lines starting with # or ; are
// comments.
struct AlarmsFileRead {
    AlarmSettings settings;
    QString problem; // the first line that could not be read; the settings are then empty
};

// A missing file gives no limits and no problem.
AlarmsFileRead readAlarmsFile(const QString& path);
// fileName only names the file in the problem text.
AlarmsFileRead readAlarmsText(const QByteArray& text, const QString& fileName);

// Sections only for devices with limits, keys only where they differ from the defaults.
QByteArray writeAlarmsText(const AlarmSettings& settings);

} // namespace kt7
