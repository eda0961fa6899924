#include "session/LogMessages.h"

#include <QDir>

namespace kt7 {

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

QString logFolderNotCreatedText(const QString& folder, const QString& reason) {
    return QStringLiteral("The log folder \"%1\" could not be created: %2")
        .arg(QDir::toNativeSeparators(folder), reason);
}

} // namespace kt7
