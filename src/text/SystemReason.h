#pragma once

#include <QString>

namespace kt7 {

// The system's text for an errno value, in English whatever the desktop's language, so that a
// message reads in one language (the program's own texts and Qt's file errors are English).
QString systemReason(int error);

} // namespace kt7
