#include "platform/widgets/WrappingButton.h"

#include "platform/widgets/WrappedCaption.h"

#include <QStyleOptionButton>

namespace kt7 {

void WrappingButton::paintEvent(QPaintEvent*) {
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrappedCaption(*this, option,
                        {QStyle::CE_PushButton, QStyle::SE_PushButtonContents, QPalette::ButtonText,
                         Qt::AlignCenter});
}

} // namespace kt7
