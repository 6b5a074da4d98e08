#include "app/Skin.h"

#include <QApplication>
#include <QFile>

namespace Skin {
namespace {
bool g_active = false;
}

bool Load(const QString& skinPath)
{
    QFile file(skinPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString sheet = QString::fromUtf8(file.readAll());
    if (sheet.trimmed().isEmpty())
        return false;
    qApp->setStyleSheet(sheet);
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
