#pragma once

#include <QString>

namespace kt7 {

struct FileDialogRequest {
    QString filter;        // "Description (*.ext)|*.ext", one entry
    QString initialFolder; // folder the dialog opens in
    QString defaultSuffix; // added to a name typed without an extension
};

// Returns the chosen full path, or an empty text when the user cancelled.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual QString getSaveFileName(const FileDialogRequest& request) = 0;
    virtual QString getOpenFileName(const FileDialogRequest& request) = 0;
};

} // namespace kt7
