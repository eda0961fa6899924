#include "text/Windows1252.h"

#include <array>

namespace kt7 {

namespace {

// Bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> HighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t characterOf(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? HighControls[byte - 0x80] : char16_t{byte};
}

int windows1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

int latin1Byte(char16_t c) {
    return c <= 0xFF ? c : -1;
}

// One byte per character, or one '?' for a character the code page lacks.
template <typename ByteOf> QByteArray eightBit(QStringView text, ByteOf byteOf) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteOf(text[i].unicode());
        if (byte >= 0) {
            out.append(static_cast<char>(byte));
            continue;
        }
        out.append('?');
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return out;
}

} // namespace

QString fromWindows1252(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(characterOf(static_cast<unsigned char>(bytes[i])));
    return out;
}

QByteArray toWindows1252(QStringView text) {
    return eightBit(text, windows1252Byte);
}

QByteArray toLatin1WithQuestionMarks(QStringView text) {
    return eightBit(text, latin1Byte);
}

} // namespace kt7
