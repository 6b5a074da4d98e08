#include "app/ScaleToolApp.h"

#include "app/Language.h"
#include "app/Skin.h"
#include "dialogs/ScaleMainDialog.h"
#include "print/CjkFontSubstitutes.h"
#include "settings/AppPaths.h"
#include "settings/DataFolder.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QString>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The program's folder in the system's narrow encoding, as the core's file functions take paths.
std::string ProgramDirectory()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toLocal8Bit().toStdString();
}

// The installed sheet templates and skin, found from the program's own place so that any
// installation prefix works; on Windows they lie beside the program.
std::string InstalledDataDirectory()
{
#ifdef _WIN32
    return ProgramDirectory();
#else
    return (QCoreApplication::applicationDirPath() + QString::fromUtf8("/" SCALETOOL_DATA_FROM_BIN)).toStdString();
#endif
}

std::string UserDataFolder()
{
#ifdef _WIN32
    return DataFolder::WindowsUserFolder(std::getenv("APPDATA"));
#else
    return DataFolder::UserFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
}

std::string SessionDirectory(ScaleToolApp::Folder folder)
{
    if (folder == ScaleToolApp::Folder::BesideProgram) {
        // As the original kept its files; a folder the user may not write to (Program Files) sends
        // the session to the user's own.
        if (DataFolder::IsWritable(ProgramDirectory()))
            return ProgramDirectory();
        folder = ScaleToolApp::Folder::UserData;
    }
    if (folder == ScaleToolApp::Folder::UserData) {
        const std::string user = UserDataFolder();
        if (DataFolder::Prepare(user, InstalledDataDirectory()))
            return user;
    }
    // Also where a user folder that cannot be made leaves the session.
    return AppPaths::CurrentDirectory();
}

} // namespace

int ScaleToolApp::Run(QApplication& application)
{
    AppPaths::SetApplicationDirectory(SessionDirectory(folder_));
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
