#include "dialogs/ManufacturerPasswordDialog.h"

#include "controls/OperatorMessage.h"
#include "dialogs/AccessCode.h"

#include "ui_ManufacturerPasswordDialog.h"

#include <QKeyEvent>
#include <QStringEncoder>

ManufacturerPasswordDialog::ManufacturerPasswordDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ManufacturerPasswordDialog>())
{
    ui_->setupUi(this);
    connect(ui_->okButton, &QPushButton::clicked, this, &ManufacturerPasswordDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &ManufacturerPasswordDialog::reject);
}

ManufacturerPasswordDialog::~ManufacturerPasswordDialog() = default;

void ManufacturerPasswordDialog::accept()
{
    QStringEncoder toGbk("GBK");
    const QByteArray entered = toGbk.encode(ui_->codeEdit->text());
    if (AccessCode::IsAccepted(std::string_view(entered.constData(), std::size_t(entered.size())))) {
        QDialog::accept();
        return;
    }
    ui_->codeEdit->clear();
    OperatorMessage::Show(this, QString::fromUtf8("密码不正确"));
    ui_->codeEdit->setFocus();
}

void ManufacturerPasswordDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter is OK unless a button has the focus, which then takes it.
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
