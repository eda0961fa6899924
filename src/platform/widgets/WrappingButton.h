#pragma once

#include <QPushButton>

namespace kt7 {

// A push button whose caption wraps onto more lines when it is wider than the button, as the
// tall device buttons ("Tare Off Device 1", "Open Set Up File") need at their fixed widths.
class WrappingButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kt7
