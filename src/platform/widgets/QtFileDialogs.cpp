#include "platform/widgets/QtFileDialogs.h"

#include <QFileDialog>

namespace kt7 {

QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries.append(parts[i].contains(QLatin1Char('('))
                           ? parts[i]
                           : QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]));
    return entries.isEmpty() ? filter : entries.join(QStringLiteral(";;"));
}

QString QtFileDialogs::run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDirectory(request.initialFolder);
    dialog.setNameFilter(qtNameFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest& request) {
    return run(request, true);
}

QString QtFileDialogs::getOpenFileName(const FileDialogRequest& request) {
    return run(request, false);
}

} // namespace kt7
