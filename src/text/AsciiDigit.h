#pragma once

namespace kt7 {

// 0-9 only: numbers in readings, logs and set-up files are never written in other scripts' digits.
constexpr bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace kt7
