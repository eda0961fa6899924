#pragma once

#include <QString>
#include <cstdio>

namespace kt7 {

// A line in the console's encoding on a standard stream, flushed at once: the program may end,
// or be stopped, right after it.
inline void printLine(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace kt7
