#include "app/ScaleToolApp.h"

#include "app/AppPaths.h"
#include "app/Language.h"
#include "app/Skin.h"
#include "dialogs/ScaleMainDialog.h"
#include "print/CjkFontSubstitutes.h"

#include <QApplication>
#include <QLocale>
#include <QString>

int ScaleToolApp::Run(QApplication& application)
{
    AppPaths::SetApplicationDirectory(AppPaths::CurrentDirectory());
    Language::Install(QLocale::system());
    InstallCjkFontSubstitutes();
    Skin::Load(QString::fromStdString(AppPaths::InApplicationDirectory("XPCorona.ssk")));
    {
        // The session lasts exactly as long as the main dialog: it may hide itself (while a print
        // preview stands in for it) without ending the application, and its end ends everything.
        ScaleMainDialog dialog;
        QApplication::setQuitOnLastWindowClosed(false);
        QObject::connect(&dialog, &QDialog::finished, &application, &QCoreApplication::quit);
        dialog.show();
        application.exec();
    }
    Skin::Exit();
    return 0;
}
