#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QString>

namespace kt7test {

// Finds a test window's controls by the names the layout gives them; an element of a control
// array is "Name(i)". Mixed into a fixture that owns the window as its member `window`.
template <typename Fixture> class WindowControls {
  public:
    template <typename T> T* control(const QString& name) const {
        return static_cast<const Fixture*>(this)->window->template findChild<T*>(name);
    }
    template <typename T> T* control(const QString& array, int index) const {
        return control<T>(QStringLiteral("%1(%2)").arg(array).arg(index));
    }
    QAbstractButton* button(const QString& array, int index) const {
        return control<QAbstractButton>(array, index);
    }
    QString labelText(const QString& array, int index) const {
        return control<QLabel>(array, index)->text();
    }
};

} // namespace kt7test
