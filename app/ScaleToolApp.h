#pragma once

class QApplication;

// The application object: fixes the application directory (the working directory at start-up) and
// the settings path, applies the skin, runs the main dialog, shuts the skin down and ends.
class ScaleToolApp {
public:
    // Runs the whole session; returns when the main dialog has ended. The dialog's result is not used.
    int Run(QApplication& application);
};
