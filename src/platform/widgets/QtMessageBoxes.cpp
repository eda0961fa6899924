#include "platform/widgets/QtMessageBoxes.h"

#include <QMessageBox>

namespace kt7 {

void QtMessageBoxes::show(const QString& text) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

} // namespace kt7
