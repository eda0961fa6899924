#pragma once

#include "logfile/LogFileError.h"

#include <QString>

namespace kt7 {

// Makes the folder the logs go to, with its parents; an existing folder is success. A failure
// carries the system's reason.
LogFileError createLogFolder(const QString& folder);

} // namespace kt7
