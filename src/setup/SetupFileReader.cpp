#include "setup/SetupFile.h"

#include <QByteArrayView>

#include <algorithm>
#include <optional>
#include <vector>

namespace kt7 {

namespace {

constexpr qsizetype generalFieldCount = 5;
constexpr qsizetype deviceFieldCount = 6;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedBlanks(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// The next line without its LF and without the CR before it; none after the last line.
std::optional<QByteArrayView> nextLine(QByteArrayView bytes, qsizetype& pos) {
    if (pos >= bytes.size())
        return std::nullopt;
    const auto start = bytes.begin() + pos;
    const auto lineFeed = std::find(start, bytes.end(), '\n');
    QByteArrayView line(start, lineFeed);
    pos = (lineFeed - bytes.begin()) + 1;
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

SetupValue unquotedValue(QByteArrayView raw, const CodePage& codePage) {
    const QByteArrayView text = trimmedBlanks(raw);
    if (text.isEmpty())
        return {};
    if (text.compare("#TRUE#", Qt::CaseInsensitive) == 0)
        return SetupValue::boolean(true);
    if (text.compare("#FALSE#", Qt::CaseInsensitive) == 0)
        return SetupValue::boolean(false);
    const QString decoded = codePage.decode(text);
    if (const std::optional<double> number = readPlainNumber(decoded))
        return SetupValue::number(*number);
    return SetupValue::text(decoded);
}

struct LineFields {
    std::vector<SetupValue> values;
    QString problem; // set when the line cannot be read
};

// Reads a quoted field starting at the opening quote; pos ends after the closing quote.
std::optional<QString> quotedText(QByteArrayView line, qsizetype& pos, const CodePage& codePage) {
    QByteArray text;
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            text += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            text += '"';
            ++i;
        } else {
            pos = i + 1;
            return codePage.decode(text);
        }
    }
    return std::nullopt;
}

// Splits one line into fields. Reading stops at the first field beyond `expected`, so a huge
// line costs no more than its first fields.
LineFields readFields(QByteArrayView line, qsizetype expected, const CodePage& codePage) {
    LineFields out;
    for (qsizetype pos = 0;;) {
        if (std::ssize(out.values) == expected) {
            out.problem = QStringLiteral("more than %1 fields").arg(expected);
            return out;
        }
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        if (pos < line.size() && line[pos] == '"') {
            const std::optional<QString> text = quotedText(line, pos, codePage);
            if (!text) {
                out.problem = QStringLiteral("a quoted text has no closing quote");
                return out;
            }
            while (pos < line.size() && isBlank(line[pos]))
                ++pos;
            if (pos < line.size() && line[pos] != ',') {
                out.problem = QStringLiteral("characters follow a closing quote");
                return out;
            }
            out.values.push_back(SetupValue::text(*text));
        } else {
            const auto comma = std::find(line.begin() + pos, line.end(), ',');
            const qsizetype end = comma - line.begin();
            out.values.push_back(unquotedValue(line.sliced(pos, end - pos), codePage));
            pos = end;
        }
        if (pos >= line.size())
            break;
        ++pos; // the comma
    }
    if (std::ssize(out.values) != expected)
        out.problem =
            QStringLiteral("%1 fields where %2 are expected").arg(out.values.size()).arg(expected);
    return out;
}

template <std::size_t N> std::array<SetupValue, N> toArray(std::vector<SetupValue>& values) {
    std::array<SetupValue, N> out;
    std::move(values.begin(), values.end(), out.begin());
    return out;
}

} // namespace

SetupFileContent readSetupFile(const QByteArray& bytes, const CodePage& codePage) {
    // Commas, quotes and line ends are single bytes in every code page read here, so lines and
    // fields are split on bytes and only the texts are decoded.
    const CodePage reader = codePage.readerFor(bytes);
    SetupFileContent content;
    qsizetype pos = 0;
    const std::optional<QByteArrayView> first = nextLine(bytes, pos);
    if (!first) {
        content.problem = QStringLiteral("The set-up file is empty.");
        return content;
    }
    LineFields general = readFields(*first, generalFieldCount, reader);
    if (!general.problem.isEmpty()) {
        content.problem =
            QStringLiteral("Line 1 of the set-up file cannot be read: %1.").arg(general.problem);
        return content;
    }
    content.general = toArray<generalFieldCount>(general.values);
    for (auto& device : content.devices) {
        const std::optional<QByteArrayView> line = nextLine(bytes, pos);
        if (!line)
            break;
        LineFields fields = readFields(*line, deviceFieldCount, reader);
        if (fields.problem.isEmpty())
            device = toArray<deviceFieldCount>(fields.values);
    }
    return content;
}

} // namespace kt7
