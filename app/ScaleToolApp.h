#pragma once

// The application object: fixes the application directory (the working directory at start-up) and
// the settings path, applies the skin, runs the main dialog modally, shuts the skin down and ends.
class ScaleToolApp {
public:
    // Runs the whole session; the main dialog's result is not used.
    int Run();
};
