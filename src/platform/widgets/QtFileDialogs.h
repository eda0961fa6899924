#pragma once

#include "platform/FileDialogs.h"

class QWidget;

namespace kt7 {

class QtFileDialogs : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent(parent) {}
    void setParent(QWidget* window) { parent = window; }
    QString getSaveFileName(const FileDialogRequest& request) override;
    QString getOpenFileName(const FileDialogRequest& request) override;

  private:
    QString run(const FileDialogRequest& request, bool save);
    QWidget* parent;
};

// "Description (*.ext)|*.ext" to Qt's "Description (*.ext)".
QString qtNameFilter(const QString& filter);

} // namespace kt7
