#include "dialogs/ParameterDialog.h"

#include "ui_ParameterDialog.h"

#include "controls/GbkConvert.h"

#include <QPushButton>

ParameterDialog::ParameterDialog(const std::string& dumpGbk, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ParameterDialog>())
{
    ui_->setupUi(this);
    ui_->dumpEdit->setPlainText(DisplayText(dumpGbk));
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ParameterDialog::~ParameterDialog() = default;

QString ParameterDialog::DisplayText(const std::string& dumpGbk)
{
    QString text = FromGbk(dumpGbk);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
