#include "record/LoggerMessages.h"

#include <QDir>

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

QString logNotCreatedText(const QString& path, const QString& reason) {
    return QStringLiteral("The log file \"%1\" could not be created: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString logHoldsDataText(const QString& path) {
    return QStringLiteral("No log was started. The file \"%1\" already holds data and was left "
                          "untouched.")
        .arg(QDir::toNativeSeparators(path));
}

QString loggingStoppedText(const QString& path, const LogFileError& cause, qint32 lastSample) {
    QString text;
    if (cause.fileGone)
        text = QStringLiteral("Logging stopped: the log file \"%1\" is no longer where it was "
                              "written: %2. The last sample written to it is number %3.");
    else if (cause.notOnDisk)
        text = QStringLiteral("Logging stopped: the log file \"%1\" could not be written to the "
                              "disk: %2. The last sample known to be on the disk is number %3.");
    else
        text = QStringLiteral("Logging stopped: the log file \"%1\" could not be written: %2. The "
                              "last sample in the file is number %3.");
    return text.arg(QDir::toNativeSeparators(path), cause.reason, QString::number(lastSample));
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

QString logFolderNotCreatedText(const QString& folder, const QString& reason) {
    return QStringLiteral("The log folder \"%1\" could not be created: %2")
        .arg(QDir::toNativeSeparators(folder), reason);
}

QString lostLinkText(int index, const QString& portName, const QString& devicePath,
                     const QString& reason) {
    return QStringLiteral("Device %1 lost its link: %2 (%3) stopped working: %4. It will be "
                          "linked again when the port returns; press its link button to stop "
                          "waiting.")
        .arg(QString::number(index + 1), portName, devicePath, reason);
}

} // namespace kt7
