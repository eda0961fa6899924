#pragma once

#include <QString>

namespace kt7 {

// Modal message with an OK button only, titled with the application's title.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text) = 0;
};

} // namespace kt7
