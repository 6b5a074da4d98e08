#include "dialogs/ParameterDialog.h"

#include "ui_ParameterDialog.h"

#include <QPushButton>
#include <QStringDecoder>

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
    QStringDecoder gbk("GBK");
    QString text = gbk.decode(QByteArrayView(dumpGbk.data(), qsizetype(dumpGbk.size())));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
