#pragma once

#include <QVariant>
#include <QWidget>

// Controls carry their dialog-template number in the "controlId" property, so that tests and
// code can find them by that number whatever the widget is called.
namespace ControlId {

inline constexpr const char* kProperty = "controlId";

inline int Of(const QWidget* widget)
{
    const QVariant value = widget->property(kProperty);
    return value.isValid() ? value.toInt() : 0;
}

// The first descendant of `root` with this number, or nullptr.
template <typename T = QWidget>
T* Find(const QWidget* root, int id)
{
    for (T* child : root->findChildren<T*>()) {
        if (Of(child) == id)
            return child;
    }
    return nullptr;
}

} // namespace ControlId
