#include "controls/SettingsReport.h"

#include "controls/OperatorMessage.h"
#include "settings/AppPaths.h"

#include <QCoreApplication>

void ReportSettingsWrites(QWidget* parent, bool allWritten)
{
    if (allWritten)
        return;
    const QString file = QString::fromLocal8Bit(AppPaths::SettingsPath().c_str());
    OperatorMessage::Show(parent,
                          QCoreApplication::translate("SettingsReport", "The settings could not be saved to %1.")
                              .arg(file),
                          OperatorMessage::Icon::Warning);
}
