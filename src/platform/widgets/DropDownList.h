#pragma once

#include <QComboBox>

namespace kt7 {

// A drop-down list that says when its list is about to open, so its entries can be brought up
// to date first.
class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;
    void showPopup() override {
        emit dropDown();
        QComboBox::showPopup();
    }

  signals:
    void dropDown();
};

} // namespace kt7
