#pragma once

#include <QRect>
#include <cmath>

namespace kt7 {

// Converts the layout's twips (1/1440 inch) to pixels at the screen's logical DPI.
class TwipsScale {
  public:
    explicit TwipsScale(double logicalDpi) : dpi(logicalDpi > 0 ? logicalDpi : 96.0) {}

    int px(int twips) const { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }
    int twips(int pixels) const { return static_cast<int>(std::lround(pixels * 1440.0 / dpi)); }
    QRect rect(int left, int top, int width, int height) const {
        return {px(left), px(top), px(width), px(height)};
    }

  private:
    double dpi;
};

} // namespace kt7
