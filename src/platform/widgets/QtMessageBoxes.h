#pragma once

#include "platform/MessageBoxes.h"

class QWidget;

namespace kt7 {

class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent(parent) {}
    void setParent(QWidget* window) { parent = window; }
    void show(const QString& text) override;

  private:
    QWidget* parent;
};

} // namespace kt7
