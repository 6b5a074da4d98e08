#pragma once

class QApplication;

// The application object: fixes the application directory and the settings path, applies the skin,
// runs the main dialog, shuts the skin down and ends.
class ScaleToolApp {
public:
    // Where the session keeps its files: the working directory at start-up (a start from a shell),
    // or the per-user data folder, prepared on first use (a start from the desktop menu), or on
    // Windows the program's own folder, and the user's application data when that is read only.
    enum class Folder { WorkingDirectory, UserData, BesideProgram };

    explicit ScaleToolApp(Folder folder = Folder::WorkingDirectory) : folder_(folder) {}

    // Runs the whole session; returns when the main dialog has ended. The dialog's result is not used.
    int Run(QApplication& application);

private:
    Folder folder_;
};
