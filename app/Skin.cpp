#include "app/Skin.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

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

void SetNoSkinWidget(QWidget* widget)
{
    if (!widget)
        return;
    // A style sheet paints a plain widget only through a styled background; without it the widget's
    // own paintEvent is all that shows.
    widget->setAttribute(Qt::WA_StyledBackground, false);
    widget->setAutoFillBackground(false);
    widget->setProperty("skinExcluded", true);
}

void Exit()
{
    if (g_active)
        qApp->setStyleSheet(QString());
    g_active = false;
}

} // namespace Skin
