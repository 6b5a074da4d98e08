#include "dialogs/AboutDialog.h"

#include "ui_AboutDialog.h"

#include <QIcon>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::AboutDialog>())
{
    ui_->setupUi(this);
    ui_->iconLabel->setPixmap(QIcon(QStringLiteral(":/scale.png")).pixmap(48, 48));
    connect(ui_->enterButton, &QPushButton::clicked, this, &QDialog::accept);
}

AboutDialog::~AboutDialog() = default;
