#include "dialogs/ManufacturerPasswordDialog.h"

#include "controls/FixedTexts.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "rules/AccessCode.h"

#include "ui_ManufacturerPasswordDialog.h"

ManufacturerPasswordDialog::ManufacturerPasswordDialog(QWidget* parent)
    : FieldsDialog(parent)
    , ui_(std::make_unique<Ui::ManufacturerPasswordDialog>())
{
    ui_->setupUi(this);
    connect(ui_->okButton, &QPushButton::clicked, this, &ManufacturerPasswordDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &ManufacturerPasswordDialog::reject);
}

ManufacturerPasswordDialog::~ManufacturerPasswordDialog() = default;

bool ManufacturerPasswordDialog::exchangeFromControls()
{
    if (AccessCode::IsAccepted(ToGbk(ui_->codeEdit->text())))
        return true;
    ui_->codeEdit->clear();
    OperatorMessage::Show(this, FixedTexts::WrongPassword());
    ui_->codeEdit->setFocus();
    return false;
}
