#include "app/Skin.h"

#include <QApplication>
#include <QFile>

namespace Skin {
namespace {
bool g_active = false;

// A style sheet that gives line edits and combo boxes a border replaces the platform's focus frame:
// without a rule of its own the field with the keyboard focus looks like every other one. Added
// after the skin, so that it holds whatever the skin file says.
const char* const kFocusRule = "\nQLineEdit:focus, QComboBox:focus, QComboBox:editable:focus {"
                               " border: 1px solid #1f5fa8; background-color: #fff8d8; }\n";
}

bool Load(const QString& skinPath)
{
    QFile file(skinPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString sheet = QString::fromUtf8(file.readAll());
    if (sheet.trimmed().isEmpty())
        return false;
    qApp->setStyleSheet(sheet + QLatin1String(kFocusRule));
    g_active = true;
    return true;
}

void Exit()
{
    if (g_active)
        qApp->setStyleSheet(QString());
    g_active = false;
}

} // namespace Skin
