#include "app/ScaleToolApp.h"

#include "app/AppPaths.h"
#include "app/Language.h"
#include "app/Skin.h"
#include "dialogs/ScaleMainDialog.h"

#include <QLocale>
#include <QString>

int ScaleToolApp::Run()
{
    AppPaths::SetApplicationDirectory(AppPaths::CurrentDirectory());
    Language::Install(QLocale::system());
    Skin::Load(QString::fromStdString(AppPaths::InApplicationDirectory("XPCorona.ssk")));
    {
        ScaleMainDialog dialog;
        dialog.exec();
    }
    Skin::Exit();
    return 0;
}
