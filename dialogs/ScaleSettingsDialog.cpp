#include "dialogs/ScaleSettingsDialog.h"

#include "controls/OperatorMessage.h"

#include <QAbstractButton>
#include <QComboBox>

ScaleSettingsDialog::ScaleSettingsDialog(PortLink& link, QWidget* parent)
    : FieldsDialog(parent)
    , link_(link)
{
}

void ScaleSettingsDialog::send(const std::string& bytes)
{
    link_.Send(bytes);
}

void ScaleSettingsDialog::sendOnClick(QAbstractButton* button, std::function<std::string()> command)
{
    connect(button, &QAbstractButton::clicked, this, [this, command = std::move(command)] {
        exchangeFromControls();
        send(command());
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
