#pragma once

#include "alarms/AlarmSettings.h"
#include <QString>

namespace kt7 {

class MessageBoxes;

struct AlarmsChoice {
    AlarmSettings settings;
    QString path;         // where the limits are read from and written to
    bool refused = false; // the command line named a file that cannot be used
};

// <config folder>/kt7-logger/alarms.conf
QString alarmsConfigPath(const QString& configFolder);

// The file the command line names (--alarms), or else alarms.conf in the config folder; without
// either there are no limits. A file that cannot be read is told with its line and none of it is
// used.
AlarmsChoice chooseAlarms(const QString& namedPath, MessageBoxes& messages);

} // namespace kt7
