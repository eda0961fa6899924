#pragma once

#include <QCheckBox>

namespace kt7 {

// A check box whose caption wraps onto a second line when the box is too narrow for it, as
// "Auto Sample" needs at its fixed size.
class WrappingCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kt7
