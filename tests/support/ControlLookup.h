#pragma once

#include "controls/ControlId.h"

#include <QTest>

// Finds a numbered control or fails the test.
template <typename T = QWidget>
T* RequireControl(const QWidget* root, int id)
{
    T* control = ControlId::Find<T>(root, id);
    if (!control)
        qFatal("control %d not found", id);
    return control;
}

// Finds a control by its object name in the .ui form, or fails the test.
template <typename T = QWidget>
T* RequireControl(const QWidget* root, const char* name)
{
    T* control = root->findChild<T*>(QLatin1String(name));
    if (!control)
        qFatal("control %s not found", name);
    return control;
}
