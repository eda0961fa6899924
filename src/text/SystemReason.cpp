#include "text/SystemReason.h"

#include <cstring>

#ifndef Q_OS_WIN
#include <locale.h>
#endif

namespace kt7 {

QString systemReason(int error) {
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(std::strerror(error));
#else
    static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (english == locale_t{})
        return QString::fromLocal8Bit(std::strerror(error));
    return QString::fromLocal8Bit(strerror_l(error, english));
#endif
}

} // namespace kt7
