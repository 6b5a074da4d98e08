#include "settings/AppPaths.h"

#include <filesystem>
#include <system_error>

namespace AppPaths {
namespace {

std::string& directoryStore()
{
    static std::string directory;
    return directory;
}

std::string& settingsStore()
{
    static std::string settings;
    return settings;
}

} // namespace

void SetApplicationDirectory(const std::string& directory)
{
    directoryStore() = directory;
    settingsStore() = InApplicationDirectory("Option.ini");
}

const std::string& ApplicationDirectory()
{
    return directoryStore();
}

const std::string& SettingsPath()
{
    return settingsStore();
}

std::string CurrentDirectory()
{
    std::error_code error;
    auto path = std::filesystem::current_path(error);
    return error ? std::string() : path.string();
}

std::string InApplicationDirectory(const std::string& file)
{
    return (std::filesystem::path(directoryStore()) / file).string();
}

} // namespace AppPaths
