#pragma once

#include "platform/Desktop.h"

namespace kt7 {

// The primary screen's work area and the program's folders.
class QtDesktop : public Desktop {
  public:
    WorkArea workArea() const override;
    double logicalDpi() const override;
    QString applicationFolder() const override;
    QString logFolder() const override;
    CodePage codePage() const override { return CodePage::system(); }
};

} // namespace kt7
