#pragma once

#include <QPalette>
#include <QStyle>

class QStyleOptionButton;
class QWidget;

namespace kt7 {

// How a control draws its caption: the control itself, the area its caption goes in, the colour
// of the text and where the text sits in that area.
struct WrappedCaptionLook {
    QStyle::ControlElement control;
    QStyle::SubElement captionArea;
    QPalette::ColorRole textRole;
    Qt::Alignment alignment;
};

// Paints the control without its caption, then the caption wrapped onto as many lines as the
// caption area needs: styles draw button captions on one line and would cut them off.
void paintWrappedCaption(QWidget& widget, const QStyleOptionButton& option,
                         const WrappedCaptionLook& look);

} // namespace kt7
