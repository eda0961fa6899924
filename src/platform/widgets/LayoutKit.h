#pragma once

#include "platform/widgets/TwipsScale.h"

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;
class QLabel;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QComboBox;
class QFrame;

namespace kt7 {

// Colours the layout gives its texts and captions.
namespace layoutColour {
inline const QColor nearBlack(32, 32, 32);
inline const QColor captionRed(128, 0, 0);
inline const QColor captionBlue(0, 0, 192);
inline const QColor valueBlue(0, 0, 255);
} // namespace layoutColour

struct Twips {
    int left, top, width, height;
};

// Makes the window's controls: twips geometry, object names, fonts and colours in one place.
class LayoutKit {
  public:
    explicit LayoutKit(double logicalDpi);

    QFont standardFont() const { return standard; }      // 12 points
    QFont windowDefaultFont() const { return fallback; } // the same face at its default size
    const TwipsScale& scale() const { return twips; }

    QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, Twips at,
                     const QFont& font) const;
    QLabel* label(QWidget* parent, const QString& name, const QString& text, Twips at,
                  Qt::Alignment align, const QFont& font) const;
    QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text, Twips at,
                       Qt::Alignment align, const QFont& font) const;
    QPushButton* button(QWidget* parent, const QString& name, const QString& caption, Twips at,
                        const QFont& font) const;
    // A check box drawn as a push button that stays down while checked.
    QPushButton* toggleButton(QWidget* parent, const QString& name, const QString& caption,
                              Twips at, const QFont& font) const;
    QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption, Twips at,
                        const QFont& font) const;
    QRadioButton* option(QWidget* parent, const QString& name, const QString& caption, Twips at,
                         const QFont& font) const;
    QComboBox* dropDownList(QWidget* parent, const QString& name, Twips at,
                            const QFont& font) const;
    QFrame* shape(QWidget* parent, const QString& name, Twips at) const;

    static void setTextColour(QWidget* widget, const QColor& colour);
    static void setBackground(QWidget* widget, const QColor& colour);
    static void setCaptionColour(QGroupBox* frame, const QColor& colour);

  private:
    void place(QWidget* widget, const QString& name, Twips at, const QFont& font) const;

    TwipsScale twips;
    QFont standard;
    QFont fallback;
};

// Name of element i of a control array, e.g. "Ch_Link(3)".
QString arrayName(const QString& array, int index);

} // namespace kt7
