#pragma once

#include <string>
#include <string_view>

// One reading as an instrument sends it: value, one blank, unit padded to 8 characters, CR LF.
inline std::string deviceLine(std::string_view value, std::string_view unit) {
    constexpr std::size_t unitWidth = 8;
    std::string line;
    line.reserve(value.size() + unitWidth + 3);
    line.append(value).append(1, ' ').append(unit);
    if (unit.size() < unitWidth)
        line.append(unitWidth - unit.size(), ' ');
    line.append("\r\n");
    return line;
}
