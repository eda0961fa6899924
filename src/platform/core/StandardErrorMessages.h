#pragma once

#include "platform/MessageBoxes.h"

#include <cstdio>

namespace kt7 {

// Messages as lines on the error output, for a logger without a window.
class StandardErrorMessages : public MessageBoxes {
  public:
    void show(const QString& text) override {
        const QByteArray line = text.toLocal8Bit() + '\n';
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
        std::fflush(stderr);
    }
};

} // namespace kt7
