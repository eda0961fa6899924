#include "logfile/LogFileLoader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace kt7 {

namespace {

constexpr qint64 BlockBytes = 4 * 1024 * 1024;
// The three header lines and the rows the date pattern is found from.
constexpr int FirstLines = 3 + DateTimePatternFinder::SampleRows;

// End (past the line end) of the first lines of a block, or -1 when it holds fewer.
qsizetype endOfLines(QByteArrayView block, int lines) {
    qsizetype at = -1;
    for (int line = 0; line < lines; ++line)
        if ((at = block.indexOf('\n', at + 1)) < 0)
            return -1;
    return at + 1;
}

std::size_t expectedRows(QByteArrayView sample, qint64 bytes) {
    if (sample.isEmpty())
        return 16;
    const auto lines = std::max<qsizetype>(1, sample.count('\n'));
    const double perLine = static_cast<double>(sample.size()) / static_cast<double>(lines);
    return static_cast<std::size_t>(static_cast<double>(bytes) / perLine * 1.05) + 16;
}

} // namespace

LogFileLoader::LogFileLoader(const QString& path, const QLocale& locale, qint64 splitFrom)
    : path(path), locale(locale), splitFrom(splitFrom) {}

LogFileLoader::~LogFileLoader() {
    cancelled = true;
    if (worker.joinable())
        worker.join();
}

QString LogFileLoader::refusalFor(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? tr("This is a folder, not a log file: it was not opened.")
                        : tr("This is not a regular file (a pipe or a device, say): it was not "
                             "opened, as reading it could wait for ever.");
}

void LogFileLoader::start() {
    worker = std::thread([this] {
        result = load();
        finishedFlag = true;
        emit finished();
    });
}

double LogFileLoader::progress() const {
    const qint64 total = bytesTotal.load();
    return total > 0 ? std::min(1.0, static_cast<double>(bytesDone.load()) / total) : 0.0;
}

LoadedLog LogFileLoader::load() {
    LoadedLog loaded;
    loaded.reader = std::make_unique<LogReader>(locale);
    if (const QString refusal = refusalFor(path); !refusal.isEmpty()) {
        loaded.error = refusal;
        return loaded;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.error = tr("The file could not be opened: %1.").arg(file.errorString());
        return loaded;
    }
    const qint64 size = file.size();
    bytesTotal = size;
    LogReader& reader = *loaded.reader;
    // The header and the first rows go first: they fix the date pattern both halves read with.
    QByteArray first = file.read(std::min(size, BlockBytes));
    const qsizetype headEnd = endOfLines(first, FirstLines);
    qint64 start = 0;
    std::unique_ptr<LogReader> later;
    if (headEnd > 0) {
        reader.feed(QByteArrayView(first).first(headEnd));
        start = headEnd;
        bytesDone = start;
        if (size - start >= splitFrom)
            later = reader.readerForLaterRows();
    }
    file.close();
    const qint64 split = later ? splitPoint(start, size) : size;
    if (split >= size)
        later.reset();
    // The first block tells the length of a row: the columns are sized once, not grown.
    const QByteArrayView sample = QByteArrayView(first).sliced(start);
    reader.reserveRows(expectedRows(sample, size - start));
    if (later)
        later->reserveRows(expectedRows(sample, size - split));
    first.clear();
    std::thread second;
    if (later)
        second = std::thread([&] { readRange(*later, split, size); });
    readRange(reader, start, split);
    if (second.joinable())
        second.join();
    if (later)
        reader.append(std::move(*later));
    loaded.rows = reader.takeRows();
    loaded.bytesRead = size;
    return loaded;
}

// The first line end at or after the middle; `to` when there is none.
qint64 LogFileLoader::splitPoint(qint64 from, qint64 to) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from + (to - from) / 2))
        return to;
    const qint64 middle = file.pos();
    const QByteArray window = file.read(std::min<qint64>(to - middle, 64 * 1024));
    const qsizetype end = window.indexOf('\n');
    return end < 0 ? to : middle + end + 1;
}

void LogFileLoader::readRange(LogReader& reader, qint64 from, qint64 to) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from))
        return;
    QByteArray block(static_cast<qsizetype>(std::min(BlockBytes, std::max<qint64>(to - from, 1))),
                     Qt::Uninitialized);
    for (qint64 at = from; at < to && reader.isLog() && !cancelled;) {
        const qint64 n = file.read(block.data(), std::min<qint64>(block.size(), to - at));
        if (n <= 0)
            break;
        reader.feed(QByteArrayView(block.constData(), n));
        at += n;
        bytesDone += n;
    }
}

} // namespace kt7
