#include "app/WrappingCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace kt7 {

void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    QStyleOptionButton textOption = option;
    textOption.text = caption;
    const QRect area = style()->subElementRect(QStyle::SE_CheckBoxContents, &textOption, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
}

} // namespace kt7
