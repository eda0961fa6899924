#pragma once

#include "export/LogSpanReader.h"
#include "statistics/SpanStatistics.h"

#include <vector>

namespace kt7 {

class FileDialogs;
class MessageBoxes;

// "Export span as CSV…" and "Export span as Excel workbook…": asks for the file name, writes the
// span and tells the user when that failed.
class SpanExporter {
  public:
    SpanExporter(FileDialogs& dialogs, MessageBoxes& messages);

    // True when a file was written; false when the user cancelled or writing failed.
    bool exportCsv(const LogSpan& span);
    bool exportXlsx(const LogSpan& span, const std::vector<int>& devices,
                    const SpanStatistics& statistics);

  private:
    QString askForFile(const LogSpan& span, const QString& filter, const QString& suffix);
    bool report(const QString& error);

    FileDialogs& dialogs;
    MessageBoxes& messages;
};

} // namespace kt7
