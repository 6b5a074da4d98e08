#include "settings/DataFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Read(const fs::path& path)
{
    std::stringstream buffer;
    buffer << std::ifstream(path, std::ios::binary).rdbuf();
    return buffer.str();
}

TEST(DataFolder, UserFolderFollowsTheXdgRules)
{
#ifdef _WIN32
    GTEST_SKIP() << "XDG data folders and POSIX paths are a freedesktop rule; Windows has neither";
#endif
    struct Case {
        const char* xdg;
        const char* home;
        std::string folder;
    } const cases[] = {
        {"/x/data", "/home/u", "/x/data/scaletool"},
        {nullptr, "/home/u", "/home/u/.local/share/scaletool"},
        {"", "/home/u", "/home/u/.local/share/scaletool"},
        {"relative/data", "/home/u", "/home/u/.local/share/scaletool"},
        {nullptr, nullptr, ""},
        {"relative", "also-relative", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataFolder::UserFolder(c.xdg, c.home), c.folder) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
}

TEST(DataFolder, FirstStartGivesTheFilesAndLaterStartsKeepTheUsersOwn)
{
    const fs::path root = fs::temp_directory_path() / ("data-folder-test-" + std::to_string(::getpid()));
    const fs::path installed = root / "share";
    const fs::path folder = root / "data" / "scaletool";
    fs::remove_all(root);
    fs::create_directories(installed);
    // As under /usr: read only, and the skin not installed at all.
    Write(installed / "A15.bmp", "a15");
    Write(installed / "A16.bmp", "a16");
    fs::permissions(installed / "A15.bmp", fs::perms::owner_read);

    ASSERT_TRUE(DataFolder::Prepare(folder.string(), installed.string()));
    EXPECT_EQ(Read(folder / "A15.bmp"), "a15");
    EXPECT_NE(fs::status(folder / "A15.bmp").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_FALSE(fs::exists(folder / "XPCorona.ssk"));
    for (const std::string& name : DataFolder::EmptyFiles())
        EXPECT_TRUE(fs::is_regular_file(folder / name) && fs::file_size(folder / name) == 0) << name;

    // The user's edits survive an updated installation; only a deleted file comes back.
    Write(folder / "A15.bmp", "mine");
    Write(folder / "ZUD.txt", "mine");
    fs::remove(folder / "A16.bmp");
    fs::permissions(installed / "A15.bmp", fs::perms::owner_write, fs::perm_options::add);
    Write(installed / "A15.bmp", "updated");
    ASSERT_TRUE(DataFolder::Prepare(folder.string(), installed.string()));
    EXPECT_EQ(Read(folder / "A15.bmp"), "mine");
    EXPECT_EQ(Read(folder / "ZUD.txt"), "mine");
    EXPECT_EQ(Read(folder / "A16.bmp"), "a16");
    EXPECT_EQ(Read(installed / "A15.bmp"), "updated");

    // A folder that cannot be made is reported, so the session stays in its working directory.
    EXPECT_FALSE(DataFolder::Prepare((installed / "A16.bmp" / "scaletool").string(), installed.string()));
    fs::remove_all(root);
}

} // namespace
