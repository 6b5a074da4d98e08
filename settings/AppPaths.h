#pragma once

#include <string>

// The two paths the whole program works with: the application directory (the working directory at
// start-up, not the executable's) and the settings file in it. Set once at start-up, read afterwards.
namespace AppPaths {

void SetApplicationDirectory(const std::string& directory);
const std::string& ApplicationDirectory();
const std::string& SettingsPath();

// The working directory as the system reports it; empty when it cannot be read.
std::string CurrentDirectory();

// `file` inside the application directory.
std::string InApplicationDirectory(const std::string& file);

} // namespace AppPaths
