#pragma once

#include <string>
#include <vector>

// The per-user data folder the tool works in when it is started from the desktop menu, and what a
// new one is given. Started from a shell, the tool keeps working in its working directory instead.
namespace DataFolder {

// The command-line option that selects the per-user data folder (the desktop entry passes it).
inline constexpr const char* kOption = "--user-data";

bool AsksForUserData(const std::vector<std::string>& arguments);

// "$XDG_DATA_HOME/scaletool", or "$HOME/.local/share/scaletool" when XDG_DATA_HOME is unset, empty
// or relative; empty when neither gives an absolute path. Either argument may be null.
std::string UserFolder(const char* xdgDataHome, const char* home);

// "%APPDATA%\ScaleTool" on Windows, the folder the program falls back to when its own is read only;
// empty when `appData` is null or not an absolute Windows path.
std::string WindowsUserFolder(const char* appData);

// True when a file can be made in `folder` (tried with a scratch file that is removed again).
bool IsWritable(const std::string& folder);

// Files a new folder is given: copies of the installed sheet templates and skin, and empty
// commodity files.
const std::vector<std::string>& CopiedFiles();
const std::vector<std::string>& EmptyFiles();

// Creates `folder` when missing and gives it every file above that it lacks, copying from
// `installedData` (read only). A file already there is never touched; a source missing from
// `installedData` is left out. True when the folder exists afterwards.
bool Prepare(const std::string& folder, const std::string& installedData);

} // namespace DataFolder
