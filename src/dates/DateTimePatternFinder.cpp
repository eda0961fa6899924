#include "dates/DateTimePatternFinder.h"

#include <algorithm>

namespace kt7 {

DateTimePatternFinder::DateTimePatternFinder(const QLocale& desktop) {
    candidates.emplace_back(desktop);
    // The C locale's AM and PM are the English ones.
    const DateTimePatterns others[] = {
        {QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP")},
        {QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss")},
        {QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss")},
        {QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss")},
    };
    for (const DateTimePatterns& patterns : others)
        candidates.emplace_back(QLocale::c(), patterns);
    reads.assign(candidates.size(), 0);
}

void DateTimePatternFinder::sample(QByteArrayView field) {
    for (std::size_t c = 0; c < candidates.size(); ++c)
        if (candidates[c].secondsOf(field))
            ++reads[c];
}

std::optional<DateTimeFieldReader> DateTimePatternFinder::found() const {
    const auto most = std::max_element(reads.begin(), reads.end()); // the first of equals
    if (*most == 0)
        return std::nullopt;
    return candidates[static_cast<std::size_t>(most - reads.begin())];
}

} // namespace kt7
