#include "dialogs/MoreSettingsDialog.h"

MoreSettingsDialog::MoreSettingsDialog(SerialLink::PortHandle& link, QWidget* parent)
    : QDialog(parent)
    , link_(link)
{
    setWindowTitle(QString::fromUtf8("更多设置"));
}

MoreSettingsDialog::~MoreSettingsDialog() = default;
