#include "export/SpanExporter.h"

#include "export/SpanCsvWriter.h"
#include "export/SpanXlsxWriter.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

#include <QFileInfo>

namespace kt7 {

SpanExporter::SpanExporter(FileDialogs& dialogs, MessageBoxes& messages)
    : dialogs(dialogs), messages(messages) {}

QString SpanExporter::askForFile(const LogSpan& span, const QString& filter,
                                 const QString& suffix) {
    return dialogs.getSaveFileName({filter, QFileInfo(span.logPath).absolutePath(), suffix});
}

bool SpanExporter::report(const QString& error) {
    if (!error.isEmpty())
        messages.show(error);
    return error.isEmpty();
}

bool SpanExporter::exportCsv(const LogSpan& span) {
    const QString path = askForFile(span, QStringLiteral("CSV Files (*.csv)|*.csv"), "csv");
    if (path.isEmpty())
        return false;
    // Writing over the log being viewed would lose the rows outside the span.
    if (QFileInfo(path) == QFileInfo(span.logPath))
        return report(QObject::tr("The span cannot be saved over the log it comes from."));
    return report(writeSpanCsv(span, path));
}

bool SpanExporter::exportXlsx(const LogSpan& span, const std::vector<int>& devices,
                              const SpanStatistics& statistics) {
    const QString path =
        askForFile(span, QStringLiteral("Excel Workbooks (*.xlsx)|*.xlsx"), "xlsx");
    if (path.isEmpty())
        return false;
    return report(writeSpanXlsx(span, devices, statistics, path));
}

} // namespace kt7
