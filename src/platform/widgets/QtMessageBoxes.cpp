#include "platform/widgets/QtMessageBoxes.h"

#include "app/AppTitle.h"

#include <QMessageBox>

namespace kt7 {

void QtMessageBoxes::show(const QString& text) {
    QMessageBox::information(parent, applicationTitle(), text, QMessageBox::Ok);
}

} // namespace kt7
