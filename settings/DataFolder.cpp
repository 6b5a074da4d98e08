#include "settings/DataFolder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace DataFolder {
namespace {

bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

} // namespace

bool AsksForUserData(const std::vector<std::string>& arguments)
{
    // The first argument is the program itself.
    return arguments.size() > 1 && std::find(arguments.begin() + 1, arguments.end(), kOption) != arguments.end();
}

std::string UserFolder(const char* xdgDataHome, const char* home)
{
    // Relative values of XDG_DATA_HOME are invalid and ignored.
    if (IsAbsolute(xdgDataHome))
        return (fs::path(xdgDataHome) / "scaletool").string();
    if (IsAbsolute(home))
        return (fs::path(home) / ".local" / "share" / "scaletool").string();
    return std::string();
}

std::string WindowsUserFolder(const char* appData)
{
    // A drive ("C:\...") or a network share ("\\server\...").
    const std::string_view path = appData ? appData : "";
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       (path[2] == '\\' || path[2] == '/');
    const bool share = path.size() >= 3 && path.substr(0, 2) == "\\\\";
    if (!drive && !share)
        return std::string();
    std::string folder(path);
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder + "ScaleTool";
}

bool IsWritable(const std::string& folder)
{
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error))
        return false;
    const fs::path probe = fs::path(folder) / ".scaletool-write-check";
    bool made = false;
    {
        std::ofstream file(probe, std::ios::binary | std::ios::trunc);
        made = file.good() && file.put('\0').good();
    }
    fs::remove(probe, error);
    return made;
}

const std::vector<std::string>& CopiedFiles()
{
    static const std::vector<std::string> files = {"A15.bmp", "A16.bmp", "XPCorona.ssk"};
    return files;
}

const std::vector<std::string>& EmptyFiles()
{
    static const std::vector<std::string> files = {"ZUD.txt", "ZEV.txt"};
    return files;
}

bool Prepare(const std::string& folder, const std::string& installedData)
{
    if (folder.empty())
        return false;
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error))
        return false;
    for (const std::string& name : CopiedFiles()) {
        const fs::path target = fs::path(folder) / name;
        const fs::path source = fs::path(installedData) / name;
        if (fs::exists(fs::symlink_status(target, error)) || !fs::is_regular_file(source, error))
            continue;
        if (fs::copy_file(source, target, fs::copy_options::skip_existing, error))
            // The copy is the user's own: writable even when the installed file is not.
            fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
    }
    for (const std::string& name : EmptyFiles()) {
        const fs::path target = fs::path(folder) / name;
        if (!fs::exists(fs::symlink_status(target, error)))
            std::ofstream(target, std::ios::binary);
    }
    return true;
}

} // namespace DataFolder
