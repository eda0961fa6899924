// Fuzzes everything that reads instrument text: the latest-reading parser, the number readers,
// LeftVal and the stream reader's line splitting, which must not depend on how the bytes were
// split into reads.
#include "acquisition/LatestReading.h"
#include "acquisition/ReadingConversion.h"
#include "acquisition/StreamReader.h"
#include "text/LeftVal.h"
#include "text/NumberFromText.h"
#include "text/StrictDecimal.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace kt7;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// The cut keeps the sign, the order of magnitude and all but the last few digits; the number text
// may round up in its last digit first.
void checkLeftValKeepsMagnitude(double value, double cut, double roundUp) {
    if (!std::isfinite(value) || std::fabs(value) < 1e-300)
        return;
    require(std::signbit(cut) == std::signbit(value));
    require(std::fabs(cut) >= 0.9 * std::fabs(value));
    require(std::fabs(cut) <= std::fabs(value) * (1 + roundUp));
}

void checkNumberReaders(const QByteArray& bytes) {
    require(!std::isnan(numberFromText(QString::fromLatin1(bytes))));
    const auto asFloat = strictToFloat(bytes);
    const auto asDouble = strictToDouble(bytes);
    if (asFloat) {
        require(std::isfinite(*asFloat) && asDouble.has_value());
        if (std::fabs(*asFloat) >= 1e-37f)
            checkLeftValKeepsMagnitude(*asFloat, leftVal(*asFloat, 8), 1e-6);
    }
    if (asDouble) {
        require(std::isfinite(*asDouble));
        checkLeftValKeepsMagnitude(*asDouble, leftVal(*asDouble, 8), 1e-14);
    }
}

void checkLatestReading(const QByteArray& bytes) {
    const LatestReading reading = parseLatestReading(bytes);
    if (reading.found) {
        require(bytes.contains('\r'));
        require(!reading.unit.contains(u' ') && !reading.unit.contains(u'\r'));
        require(!std::isnan(reading.value));
    }
}

// Reads the stream once whole and once in chunks whose sizes come from the seed byte.
void checkSplitting(const QString& unit, std::uint8_t seed, const QByteArray& stream) {
    StreamReader whole;
    const QByteArrayList expected = whole.take(stream, unit);

    StreamReader chunked;
    QByteArrayList pieces;
    std::uint32_t state = seed + 1u;
    for (qsizetype at = 0; at < stream.size();) {
        state = state * 1664525u + 1013904223u;
        const qsizetype size = 1 + (state >> 24) % 24;
        pieces += chunked.take(
            QByteArrayView(stream).sliced(at, std::min(size, stream.size() - at)), unit);
        at += size;
    }
    require(pieces == expected);
    require(chunked.pending() == whole.pending());

    const QByteArray terminator = lineTerminator(unit);
    for (const QByteArray& piece : expected)
        require(!piece.contains(terminator));
    for (const TareOffset& tare : {TareOffset::unset(), TareOffset::zero(), TareOffset::of(0.5)}) {
        const DeviceReadings readings = convertPieces(expected, tare, 51);
        require(readings.lineCount == expected.size());
        require(readings.cells.size() <= 51u);
        for (const auto& cell : readings.cells)
            require(!cell || std::isfinite(*cell));
    }
}

void checkRestart(const QString& unit, const QByteArray& linkText, const QByteArray& rest) {
    StreamReader reader;
    reader.take("stale", unit);
    reader.restartAfterLink(linkText);
    require(!reader.pending().contains('\r'));
    reader.take(rest, unit);
    require(reader.pending().size() <= StreamReader::Capacity);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkNumberReaders(bytes);
    checkLatestReading(bytes);
    if (size < 2)
        return 0;

    static const QString units[] = {QStringLiteral("us"), QStringLiteral("kg"), QString(),
                                    QStringLiteral("abcdefghij")};
    const QString& unit = units[data[0] % 4];
    const QByteArray stream = bytes.mid(1);
    if (stream.size() < StreamReader::Capacity) // the cap may cut a chunked read differently
        checkSplitting(unit, data[0], stream);
    checkRestart(unit, stream.left(data[0] % (stream.size() + 1)), stream);
    return 0;
}
