#include "platform/widgets/WrappedCaption.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace kt7 {

void paintWrappedCaption(QWidget& widget, const QStyleOptionButton& option,
                         const WrappedCaptionLook& look) {
    QStylePainter painter(&widget);
    QStyleOptionButton bare = option;
    bare.text.clear();
    painter.drawControl(look.control, bare);
    const QRect area = widget.style()->subElementRect(look.captionArea, &option, &widget);
    const QPalette::ColorGroup group = widget.isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(widget.palette().color(group, look.textRole));
    painter.drawText(area, look.alignment | Qt::TextWordWrap, option.text);
}

} // namespace kt7
