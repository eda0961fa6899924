#pragma once

#include "text/CodePage.h"

#include <QString>

namespace kt7 {

struct WorkArea {
    int topTwips = 0;
    int heightTwips = 0;
};

// Facts of the desktop and of where the program lives.
class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual WorkArea workArea() const = 0;
    virtual double logicalDpi() const = 0;
    virtual QString applicationFolder() const = 0;
    // The log folder with its trailing separator.
    virtual QString logFolder() const = 0;
    // The character set the log and the set-up file are written in.
    virtual CodePage codePage() const = 0;
};

} // namespace kt7
