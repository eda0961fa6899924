#include "platform/widgets/WrappingCheckBox.h"

#include "platform/widgets/WrappedCaption.h"

#include <QStyleOptionButton>

namespace kt7 {

void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrappedCaption(*this, option,
                        {QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents, QPalette::WindowText,
                         Qt::AlignLeft | Qt::AlignVCenter});
}

} // namespace kt7
