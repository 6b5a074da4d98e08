#pragma once

#include <QTest>
#include <QWidget>

// Finds a control by its object name in the .ui form, or fails the test.
template <typename T = QWidget>
T* RequireControl(const QWidget* root, const char* name)
{
    T* control = root->findChild<T*>(QLatin1String(name));
    if (!control)
        qFatal("control %s not found", name);
    return control;
}

// Shows the window and waits until it is on screen.
inline bool ShowExposed(QWidget* window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window);
}
