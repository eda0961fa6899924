#include "platform/widgets/LayoutKit.h"

#include "platform/widgets/DropDownList.h"
#include "platform/widgets/WrappingButton.h"
#include "platform/widgets/WrappingCheckBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kt7 {

namespace {
const QString uiFace = QStringLiteral("Liberation Sans Narrow");
constexpr double defaultPointSize = 9.0;
} // namespace

QString arrayName(const QString& array, int index) {
    return QStringLiteral("%1(%2)").arg(array).arg(index);
}

LayoutKit::LayoutKit(double logicalDpi) : twips(logicalDpi) {
    standard = QFont(uiFace);
    standard.setStyleHint(QFont::SansSerif);
    standard.setPointSizeF(12.0);
    fallback = standard;
    fallback.setPointSizeF(defaultPointSize);
}

void LayoutKit::place(QWidget* widget, const QString& name, Twips at, const QFont& font) const {
    widget->setObjectName(name);
    widget->setGeometry(twips.rect(at.left, at.top, at.width, at.height));
    widget->setFont(font);
}

QGroupBox* LayoutKit::frame(QWidget* parent, const QString& name, const QString& caption, Twips at,
                            const QFont& font) const {
    auto* box = new QGroupBox(caption, parent);
    place(box, name, at, font);
    return box;
}

QLabel* LayoutKit::label(QWidget* parent, const QString& name, const QString& text, Twips at,
                         Qt::Alignment align, const QFont& font) const {
    auto* widget = new QLabel(text, parent);
    widget->setAlignment(align | Qt::AlignTop);
    place(widget, name, at, font);
    return widget;
}

QLineEdit* LayoutKit::textBox(QWidget* parent, const QString& name, const QString& text, Twips at,
                              Qt::Alignment align, const QFont& font) const {
    auto* widget = new QLineEdit(text, parent);
    widget->setAlignment(align | Qt::AlignVCenter);
    place(widget, name, at, font);
    return widget;
}

QPushButton* LayoutKit::button(QWidget* parent, const QString& name, const QString& caption,
                               Twips at, const QFont& font) const {
    auto* widget = new WrappingButton(caption, parent);
    widget->setAutoDefault(false);
    place(widget, name, at, font);
    return widget;
}

QPushButton* LayoutKit::toggleButton(QWidget* parent, const QString& name, const QString& caption,
                                     Twips at, const QFont& font) const {
    QPushButton* widget = button(parent, name, caption, at, font);
    widget->setCheckable(true);
    return widget;
}

QCheckBox* LayoutKit::checkBox(QWidget* parent, const QString& name, const QString& caption,
                               Twips at, const QFont& font) const {
    auto* widget = new WrappingCheckBox(caption, parent);
    place(widget, name, at, font);
    return widget;
}

QRadioButton* LayoutKit::option(QWidget* parent, const QString& name, const QString& caption,
                                Twips at, const QFont& font) const {
    auto* widget = new QRadioButton(caption, parent);
    place(widget, name, at, font);
    return widget;
}

QComboBox* LayoutKit::dropDownList(QWidget* parent, const QString& name, Twips at,
                                   const QFont& font) const {
    auto* widget = new DropDownList(parent);
    widget->setEditable(false);
    place(widget, name, at, font);
    return widget;
}

QFrame* LayoutKit::shape(QWidget* parent, const QString& name, Twips at) const {
    auto* widget = new QFrame(parent);
    widget->setFrameShape(QFrame::NoFrame);
    widget->setAutoFillBackground(true);
    place(widget, name, at, standard);
    return widget;
}

void LayoutKit::setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void LayoutKit::setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void LayoutKit::setCaptionColour(QGroupBox* frame, const QColor& colour) {
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, colour);
    frame->setPalette(palette);
}

} // namespace kt7
