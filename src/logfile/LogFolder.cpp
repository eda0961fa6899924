#include "logfile/LogFolder.h"

#include "text/SystemReason.h"

#include <QDir>

#include <cerrno>

namespace kt7 {

LogFileError createLogFolder(const QString& folder) {
    if (QDir(folder).exists())
        return LogFileError::success();
    errno = 0;
    if (QDir().mkpath(folder))
        return LogFileError::success();
    const int error = errno;
    return LogFileError::failure(error != 0 ? systemReason(error)
                                            : QStringLiteral("the folder could not be created"));
}

} // namespace kt7
