#include "export/SpanXlsxWriter.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <memory>
#include <xlsxwriter.h>
#ifndef _WIN32
#include <locale.h>
#endif

namespace kt7 {

namespace {

constexpr lxw_row_t SheetRows = 1'048'576; // the most a sheet holds

// libxlsxwriter writes numbers with snprintf, which follows the C library's locale: under a
// desktop with a decimal comma a cell would read "14,5" and the workbook would not open. The
// workbook is written under the C locale, in this thread only.
class CNumbersInThisThread {
  public:
#ifdef _WIN32
    CNumbersInThisThread() : previous(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        setlocale(LC_NUMERIC, "C");
    }
    ~CNumbersInThisThread() {
        _configthreadlocale(previous);
    }

  private:
    int previous;
#else
    CNumbersInThisThread() : c(newlocale(LC_ALL_MASK, "C", nullptr)), previous(uselocale(c)) {}
    ~CNumbersInThisThread() {
        uselocale(previous);
        freelocale(c);
    }
    CNumbersInThisThread(const CNumbersInThisThread&) = delete;
    CNumbersInThisThread& operator=(const CNumbersInThisThread&) = delete;

  private:
    locale_t c;
    locale_t previous;
#endif
};

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const { workbook_close(book); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookCloser>;

// Rows go to the file as they are written, so a long span needs little memory; the library keeps
// them in the scratch folder until the workbook is closed.
Workbook startWorkbook(const QString& outPath, QByteArray& scratchPath) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchPath.data();
    const QByteArray path = QFile::encodeName(outPath);
    return Workbook(workbook_new_opt(path.constData(), &options));
}

QString deviceHeader(const QString& label, const QString& unit, int device) {
    const QString name = label.isEmpty() ? QObject::tr("Device %1").arg(device + 1) : label;
    return unit.trimmed().isEmpty() ? name : name + QStringLiteral(" (") + unit.trimmed() + u')';
}

void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text,
               lxw_format* format = nullptr) {
    worksheet_write_string(sheet, row, col, text.toUtf8().constData(), format);
}

// Keys hold the log's wall-clock time counted as if in UTC.
lxw_datetime cellTime(double seconds) {
    const QDateTime at = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
    return {at.date().year(), at.date().month(),  at.date().day(),
            at.time().hour(), at.time().minute(), static_cast<double>(at.time().second())};
}

// The "Readings" sheet, written a row at a time as the span is read.
class ReadingsSheet {
  public:
    ReadingsSheet(lxw_workbook* book, const std::vector<int>& devices, lxw_format* bold)
        : devices(devices), bold(bold), when(workbook_add_format(book)) {
        format_set_num_format(when, "yyyy-mm-dd hh:mm:ss");
        sheet = workbook_add_worksheet(book, "Readings");
    }

    void writeHeader(const LogSpanReader& header) {
        writeText(sheet, 0, 0, QObject::tr("Sample"), bold);
        writeText(sheet, 0, 1, QObject::tr("Date and time"), bold);
        lxw_col_t col = 2;
        for (const int d : devices)
            writeText(sheet, 0, col++, deviceHeader(header.labels()[d], header.units()[d], d),
                      bold);
        worksheet_set_column(sheet, 1, 1, 20, nullptr);
        worksheet_set_column(sheet, 2, static_cast<lxw_col_t>(col), 14, nullptr);
        worksheet_freeze_panes(sheet, 1, 0);
    }

    void writeRow(const LogRows& rows, std::size_t r) {
        if (row >= SheetRows) {
            full = true;
            return;
        }
        worksheet_write_number(sheet, row, 0, rows.sampleNumbers[r], nullptr);
        if (!std::isnan(rows.seconds[r])) {
            lxw_datetime at = cellTime(rows.seconds[r]);
            worksheet_write_datetime(sheet, row, 1, &at, when);
        }
        lxw_col_t col = 2;
        for (const int d : devices) {
            const double value = rows.values[d][r];
            if (!std::isnan(value))
                worksheet_write_number(sheet, row, col, value, nullptr);
            ++col;
        }
        ++row;
    }

    // The span held more rows than a sheet takes.
    bool tooLong() const { return full; }

  private:
    const std::vector<int>& devices;
    lxw_format* bold;
    lxw_format* when;
    lxw_worksheet* sheet = nullptr;
    lxw_row_t row = 1;
    bool full = false;
};

void writeStatistics(lxw_workbook* book, const SpanStatistics& statistics, lxw_format* bold) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Statistics");
    const QStringList header = statistics.header();
    for (int c = 0; c < header.size(); ++c)
        writeText(sheet, 0, static_cast<lxw_col_t>(c), header[c], bold);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_set_column(sheet, 0, static_cast<lxw_col_t>(header.size() - 1), 14, nullptr);
    lxw_row_t row = 1;
    for (const SpanStatistics::Device& device : statistics.devices) {
        const ReadingStatistics& s = device.stats;
        writeText(sheet, row, 0, device.name);
        writeText(sheet, row, 1, device.unit);
        worksheet_write_number(sheet, row, 2, static_cast<double>(s.readings), nullptr);
        worksheet_write_number(sheet, row, 3, static_cast<double>(s.emptyCells), nullptr);
        lxw_col_t col = 4;
        for (const auto& value : {s.minimum, s.maximum, s.mean, s.standardDeviation, s.peakToPeak(),
                                  s.first, s.last, s.slope}) {
            if (value)
                worksheet_write_number(sheet, row, col, *value, nullptr);
            else
                writeText(sheet, row, col, QStringLiteral("-"));
            ++col;
        }
        ++row;
    }
}

} // namespace

QString writeSpanXlsx(const LogSpan& span, const std::vector<int>& devices,
                      const SpanStatistics& statistics, const QString& outPath) {
    const CNumbersInThisThread pointDecimals;
    const auto failed = [&](const QString& why) {
        return QObject::tr("The span could not be saved as %1: %2.").arg(outPath, why);
    };
    QTemporaryDir scratch;
    QByteArray scratchPath = QFile::encodeName(scratch.path());
    Workbook book = startWorkbook(outPath, scratchPath);
    if (!book)
        return failed(QObject::tr("the workbook could not be started"));
    lxw_format* bold = workbook_add_format(book.get());
    format_set_bold(bold);
    ReadingsSheet readings(book.get(), devices, bold);
    LogSpanReader reader;
    const bool read = reader.read(
        span, [&](const LogRows& rows, std::size_t r) { readings.writeRow(rows, r); },
        [&](const LogSpanReader& header) { readings.writeHeader(header); });
    if (!read || readings.tooLong()) {
        book.reset(); // no half a workbook left behind
        QFile::remove(outPath);
        return read ? failed(QObject::tr("it holds more rows than a sheet can take"))
                    : reader.error();
    }
    writeStatistics(book.get(), statistics, bold);
    lxw_workbook* raw = book.release();
    if (const lxw_error error = workbook_close(raw); error != LXW_NO_ERROR)
        return failed(QString::fromUtf8(lxw_strerror(error)));
    return {};
}

} // namespace kt7
