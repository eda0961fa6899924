#pragma once

#include "platform/Desktop.h"

namespace kt7test {

class FakeDesktop : public kt7::Desktop {
  public:
    kt7::WorkArea workArea() const override { return area; }
    double logicalDpi() const override { return dpi; }
    QString applicationFolder() const override { return appFolder; }
    QString logFolder() const override { return logDir; }
    kt7::CodePage codePage() const override { return page; }

    kt7::WorkArea area{0, 11520};
    double dpi = 96.0;
    QString appFolder;
    QString logDir;
    kt7::CodePage page = kt7::CodePage::utf8();
};

} // namespace kt7test
