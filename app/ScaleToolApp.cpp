#include "app/ScaleToolApp.h"

#include "app/AppPaths.h"
#include "app/Language.h"
#include "app/Skin.h"
#include "dialogs/ScaleMainDialog.h"
#include "print/CjkFontSubstitutes.h"

#include <QApplication>
#include <QLocale>
#include <QString>

#include <memory>

int ScaleToolApp::Run(QApplication& application)
{
    AppPaths::SetApplicationDirectory(AppPaths::CurrentDirectory());
    Language::Install(QLocale::system());
    InstallCjkFontSubstitutes();
    Skin::Load(QString::fromStdString(AppPaths::InApplicationDirectory("XPCorona.ssk")));
    // The session lasts exactly as long as the main dialog: it may hide itself (while a print
    // preview stands in for it) without ending the application, and its end ends everything.
    auto dialog = std::make_unique<ScaleMainDialog>();
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(dialog.get(), &QDialog::finished, &application, &QCoreApplication::quit);
    dialog->show();
    application.exec();
    // The skin is shut down first; the dialog object goes last.
    Skin::Exit();
    dialog.reset();
    return 0;
}
