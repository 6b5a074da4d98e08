#include "dialogs/ScaleSettingsDialog.h"

#include "controls/OperatorMessage.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>

ScaleSettingsDialog::ScaleSettingsDialog(PortLink& link, QWidget* parent)
    : FieldsDialog(parent)
    , link_(link)
{
    // Every Set answers: this dialog's own commands, and those of a dialog opened over it.
    connect(&link_, &PortLink::sent, this, [this](const QString& what, bool whole) {
        if (statusLine_)
            statusLine_->setText(whole ? tr("%1 sent").arg(what) : tr("%1 could not be sent").arg(what));
    });
}

void ScaleSettingsDialog::showEvent(QShowEvent* event)
{
    if (!statusLine_) {
        statusLine_ = new QLabel(this);
        statusLine_->setObjectName(QStringLiteral("statusLine"));
        statusLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        statusLine_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        statusLine_->setMinimumHeight(statusLine_->sizeHint().height());
        if (auto* column = qobject_cast<QBoxLayout*>(layout()))
            column->addWidget(statusLine_);
    }
    FieldsDialog::showEvent(event);
}

void ScaleSettingsDialog::send(const std::string& bytes, const QString& what)
{
    link_.Send(bytes, what);
}

void ScaleSettingsDialog::sendOnClick(QAbstractButton* button, const QString& what,
                                      std::function<std::string()> command)
{
    connect(button, &QAbstractButton::clicked, this, [this, what, command = std::move(command)] {
        exchangeFromControls();
        send(command(), what);
    });
}

std::string ScaleSettingsDialog::ForChosen(const QComboBox* list, const std::function<std::string(int)>& build)
{
    const int index = list->currentIndex();
    return index >= 0 ? build(index) : std::string();
}

std::string ScaleSettingsDialog::ForValueIn(int value, int lowest, int highest, const QString& outOfRange,
                                            const std::function<std::string(int)>& build)
{
    if (value < lowest || value > highest) {
        OperatorMessage::Show(this, outOfRange);
        return {};
    }
    return build(value);
}
