#include "dialogs/FieldsDialog.h"

#include <QKeyEvent>
#include <QPushButton>

FieldsDialog::FieldsDialog(QWidget* parent)
    : QDialog(parent)
{
}

void FieldsDialog::accept()
{
    if (exchangeFromControls())
        QDialog::accept();
}

void FieldsDialog::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
