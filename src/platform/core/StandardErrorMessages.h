#pragma once

#include "platform/MessageBoxes.h"
#include "platform/core/ConsoleLine.h"

namespace kt7 {

// Messages as lines on the error output, for a logger without a window.
class StandardErrorMessages : public MessageBoxes {
  public:
    void show(const QString& text) override { printLine(stderr, text); }
};

} // namespace kt7
