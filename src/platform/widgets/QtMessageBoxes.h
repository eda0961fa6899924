#pragma once

#include "platform/MessageBoxes.h"

#include <QString>
#include <utility>

class QWidget;

namespace kt7 {

class QtMessageBoxes : public MessageBoxes {
  public:
    // Every box carries the given title, which the program chooses (its main window's title).
    explicit QtMessageBoxes(QString title, QWidget* parent = nullptr)
        : title(std::move(title)), parent(parent) {}
    void setParent(QWidget* window) { parent = window; }
    void show(const QString& text) override;

  private:
    QString title;
    QWidget* parent;
};

} // namespace kt7
