#include "alarms/AlarmsChoice.h"

#include "alarms/AlarmsFile.h"
#include "platform/MessageBoxes.h"
#include "platform/core/PortPaths.h"

#include <QFileInfo>

namespace kt7 {

QString alarmsConfigPath(const QString& configFolder) {
    return configFolder + QStringLiteral("/kt7-logger/alarms.conf");
}

AlarmsChoice chooseAlarms(const QString& namedPath, MessageBoxes& messages) {
    AlarmsChoice choice;
    const bool named = !namedPath.isEmpty();
    choice.path = named ? namedPath : alarmsConfigPath(configFolder());
    if (named && !QFileInfo::exists(choice.path)) {
        messages.show(QStringLiteral("%1: no such alarms file").arg(choice.path));
        choice.refused = true;
        return choice;
    }
    const AlarmsFileRead read = readAlarmsFile(choice.path);
    if (!read.problem.isEmpty()) {
        messages.show(read.problem + QStringLiteral("; no alarm limits are used"));
        choice.refused = named;
        return choice;
    }
    choice.settings = read.settings;
    return choice;
}

} // namespace kt7
