#include "logfile/LogReader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

namespace kt7 {

namespace {

constexpr QByteArrayView identification = "KT7,Data Logger,RS232,Vx1";
constexpr int HeaderLines = 3;
// No line of a log comes near this; a longer one is not a log line, and is not kept in memory.
constexpr qsizetype LongestLine = 64 * 1024;
constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

bool readNumber(const char* begin, const char* end, double& value) {
    if (begin == end) {
        value = NoValue;
        return true;
    }
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end;
}

} // namespace

LogReader::LogReader(const QLocale& locale) : locale(locale), finder(std::in_place, locale) {}

LogReader::~LogReader() = default;

void LogRows::reserve(std::size_t rows) {
    sampleNumbers.reserve(rows);
    seconds.reserve(rows);
    for (auto& column : values)
        column.reserve(rows);
}

// A large append is a copy of tens of megabytes into pages not yet touched: half the columns
// go in a second thread.
void LogRows::append(LogRows&& later) {
    std::array<LogColumn*, DeviceCount + 2> to{&sampleNumbers, &seconds};
    std::array<LogColumn*, DeviceCount + 2> from{&later.sampleNumbers, &later.seconds};
    for (int d = 0; d < DeviceCount; ++d) {
        to[d + 2] = &values[d];
        from[d + 2] = &later.values[d];
    }
    const auto move = [&](std::size_t first, std::size_t end) {
        for (std::size_t c = first; c < end; ++c) {
            to[c]->insert(to[c]->end(), from[c]->begin(), from[c]->end());
            LogColumn().swap(*from[c]);
        }
    };
    constexpr std::size_t Half = (DeviceCount + 2) / 2;
    std::thread second;
    if (later.size() >= ParallelAppendRows)
        second = std::thread(move, Half, to.size());
    move(0, second.joinable() ? Half : to.size());
    if (second.joinable())
        second.join();
}

void LogReader::feed(QByteArrayView bytes) {
    while (!bytes.isEmpty() && !foreign) {
        const qsizetype end = bytes.indexOf('\n');
        if (end < 0) {
            unfinishedLength += bytes.size();
            if (!discarding)
                partial += bytes;
            if (partial.size() > LongestLine) {
                partial.clear();
                discarding = true;
            }
            return;
        }
        if (discarding) {
            discarding = false;
            ++lineNumber;
            skip();
        } else if (partial.isEmpty()) {
            readLine(bytes.first(end));
        } else {
            partial += bytes.first(end);
            readLine(partial);
            partial.clear();
        }
        unfinishedLength = 0;
        bytes = bytes.sliced(end + 1);
    }
}

std::unique_ptr<LogReader> LogReader::readerForLaterRows() {
    settleTimePattern();
    if (foreign || lineNumber < HeaderLines || finder || !partial.isEmpty() || discarding)
        return nullptr;
    auto later = std::make_unique<LogReader>(locale);
    later->finder.reset();
    later->times = times;
    later->lineNumber = HeaderLines;
    return later;
}

void LogReader::append(LogReader&& later) {
    const qint64 linesBefore = lineNumber - HeaderLines;
    if (skippedLines == 0 && later.skippedLines > 0)
        firstSkipped = later.firstSkipped + linesBefore;
    if (unreadableTimes == 0 && later.unreadableTimes > 0)
        firstUnreadableTime = later.firstUnreadableTime + linesBefore;
    skippedLines += later.skippedLines;
    unreadableTimes += later.unreadableTimes;
    lineNumber += later.lineNumber - HeaderLines;
    rowsRead += later.rowsRead;
    partial = std::move(later.partial);
    discarding = later.discarding;
    unfinishedLength = later.unfinishedLength;
    rows.append(std::move(later.rows));
}

LogRows LogReader::takeRows() {
    settleTimePattern();
    return std::exchange(rows, LogRows{});
}

void LogReader::readLine(QByteArrayView line) {
    ++lineNumber;
    if (line.endsWith('\r'))
        line.chop(1);
    if (lineNumber <= HeaderLines)
        readHeaderLine(line);
    else
        readRow(line);
}

void LogReader::readHeaderLine(QByteArrayView line) {
    if (lineNumber == 1) {
        foreign = line != identification;
        if (foreign)
            firstLine = decodeLogText(line.first(std::min<qsizetype>(line.size(), 60)));
        return;
    }
    if (!line.startsWith(",,")) {
        headerNotes << QObject::tr("Line %1 is not the %2 line of a log: it was skipped.")
                           .arg(lineNumber)
                           .arg(lineNumber == 2 ? QObject::tr("labels") : QObject::tr("units"));
        return;
    }
    if (lineNumber == 2)
        labelTexts = headerFields(line.sliced(2), QObject::tr("labels"));
    else
        unitTexts = headerFields(line.sliced(2), QObject::tr("units"));
}

// The writer joins the eight texts with commas and never quotes, so a text with a comma adds
// fields. A piece that starts with a blank most likely continues the text before it ("Flow, in");
// what cannot be told apart is said in a note.
std::array<QString, DeviceCount> LogReader::headerFields(QByteArrayView line, const QString& what) {
    QStringList pieces = decodeLogText(line).split(u',');
    for (qsizetype i = pieces.size() - 1; i > 0 && pieces.size() > DeviceCount; --i) {
        if (pieces[i].startsWith(u' ')) {
            pieces[i - 1] += u',' + pieces[i];
            pieces.removeAt(i);
        }
    }
    if (pieces.size() != DeviceCount)
        headerNotes << QObject::tr("The %1 line holds %2 texts for eight devices: some %1 may "
                                   "be shown under the wrong device.")
                           .arg(what)
                           .arg(pieces.size());
    while (pieces.size() > DeviceCount)
        pieces[DeviceCount - 1] += u',' + pieces.takeAt(DeviceCount);
    std::array<QString, DeviceCount> fields;
    for (int d = 0; d < DeviceCount && d < pieces.size(); ++d)
        fields[d] = pieces[d];
    return fields;
}

// Sample number, date field, eight values. The date field may hold commas in some regional
// formats, the numbers never do: the values are the last eight fields.
void LogReader::readRow(QByteArrayView line) {
    const char* begin = line.data();
    const char* end = begin + line.size();
    const char* firstComma = static_cast<const char*>(std::memchr(begin, ',', line.size()));
    std::array<const char*, DeviceCount + 1> bounds{};
    bounds[DeviceCount] = end;
    const char* at = end;
    for (int d = DeviceCount - 1; d >= 0; --d) {
        while (at > begin && *(at - 1) != ',')
            --at;
        if (at == begin)
            return skip();
        bounds[d] = --at;
    }
    double sample = 0;
    std::array<double, DeviceCount> values{};
    if (!firstComma || firstComma >= bounds[0] || !readNumber(begin, firstComma, sample) ||
        std::isnan(sample))
        return skip();
    for (int d = 0; d < DeviceCount; ++d)
        if (!readNumber(bounds[d] + 1, bounds[d + 1], values[d]))
            return skip();
    const QByteArrayView field(firstComma + 1, bounds[0]);
    rows.sampleNumbers.push_back(sample);
    if (finder) {
        finder->sample(field);
        sampledRows.push_back({field.toByteArray(), lineNumber});
        rows.seconds.push_back(NoValue);
    } else {
        rows.seconds.push_back(secondsOf(field, lineNumber));
    }
    for (int d = 0; d < DeviceCount; ++d)
        rows.values[d].push_back(values[d]);
    ++rowsRead;
    if (sampledRows.size() >= static_cast<std::size_t>(DateTimePatternFinder::SampleRows))
        settleTimePattern();
}

// The sampled rows are the first of `rows`: the rows are never taken before this.
void LogReader::settleTimePattern() {
    if (!finder || sampledRows.empty())
        return;
    times = finder->found();
    finder.reset();
    for (std::size_t r = 0; r < sampledRows.size(); ++r)
        rows.seconds[r] = secondsOf(sampledRows[r].field, sampledRows[r].line);
    sampledRows.clear();
}

double LogReader::secondsOf(QByteArrayView field, qint64 line) {
    if (const std::optional<qint64> seconds = times ? times->secondsOf(field) : std::nullopt)
        return static_cast<double>(*seconds);
    if (unreadableTimes++ == 0)
        firstUnreadableTime = line;
    return NoValue;
}

void LogReader::skip() {
    if (skippedLines++ == 0)
        firstSkipped = lineNumber;
}

QStringList LogReader::notes() const {
    if (foreign)
        return {QObject::tr("This file is not a KT7 log: its first line reads \"%1\" instead of "
                            "\"%2\". Nothing was read.")
                    .arg(firstLine, QString::fromLatin1(identification))};
    QStringList notes = headerNotes;
    if (lineNumber < HeaderLines)
        notes << QObject::tr("The file ends inside the three header lines.");
    if (skippedLines > 0)
        notes << QObject::tr("Skipped as not data rows: %1 (the first is line %2).")
                     .arg(skippedLines)
                     .arg(firstSkipped);
    if (unreadableTimes > 0)
        notes << QObject::tr("Rows whose date and time could not be read: %1 (the first is on "
                             "line %2). X shows the sample number.")
                     .arg(unreadableTimes)
                     .arg(firstUnreadableTime);
    if (unfinishedLength > 0)
        notes << QObject::tr("The last line is cut off (no line end after %1 bytes): it was "
                             "skipped.")
                     .arg(unfinishedLength);
    return notes;
}

} // namespace kt7
