#include "link/LinkMessages.h"

namespace kt7 {

QString unitChangeText(int index, const QString& portName, const UnitChange& change) {
    // Text without a single readable line is no unit change: the port works, but what arrives
    // (a flood, another format) never ends a line the way the linked unit's lines end.
    if (change.newUnit.isEmpty())
        return QStringLiteral("Device %1 (%2) sends text, but no complete line in the unit \"%3\" "
                              "it was linked with; its port works. Its readings are not shown or "
                              "logged until it sends such lines again or is linked again.")
            .arg(QString::number(index + 1), portName, change.linkedUnit);
    return QStringLiteral("Device %1 (%2) no longer sends lines in the unit \"%3\" it was linked "
                          "with. It now sends \"%4\". Its readings are not shown or logged until "
                          "it is linked again; linking it again reads the new unit.")
        .arg(QString::number(index + 1), portName, change.linkedUnit, change.newUnit);
}

QString portOpenFailureText(int index, int portNumber, const QString& devicePath,
                            const PortOpenResult& result) {
    // Port 0 is what a device gets when the probe found no port at all: there is no device path
    // worth naming.
    if (portNumber < 1)
        return QStringLiteral("Device %1 has no serial port: no serial port was found on this "
                              "computer.")
            .arg(index + 1);
    QString text = QStringLiteral("COM %1 (%2) could not be opened: %3.")
                       .arg(QString::number(portNumber), devicePath, result.reason);
    if (result.error == PortOpenError::Busy)
        text += QStringLiteral(" It is in use by another program.");
#ifndef Q_OS_WIN
    if (result.error == PortOpenError::PermissionDenied)
        text += QStringLiteral(" To use serial ports your user must be in the dialout group.");
#endif
    return text;
}

QString lostLinkText(int index, const QString& portName, const QString& devicePath,
                     const QString& reason) {
    return QStringLiteral("Device %1 lost its link: %2 (%3) stopped working: %4. It will be "
                          "linked again when the port returns; press its link button to stop "
                          "waiting.")
        .arg(QString::number(index + 1), portName, devicePath, reason);
}

} // namespace kt7
