#include "settings/DataFolder.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

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
    const ScratchFolder scratch("data-folder-test");
    const fs::path root = scratch.Path();
    const fs::path installed = root / "share";
    const fs::path folder = root / "data" / "scaletool";
    fs::create_directories(installed);
    // As under /usr: read only, and the skin not installed at all.
    WriteBytes(installed / "A15.bmp", "a15");
    WriteBytes(installed / "A16.bmp", "a16");
    fs::permissions(installed / "A15.bmp", fs::perms::owner_read);

    ASSERT_TRUE(DataFolder::Prepare(folder.string(), installed.string()));
    EXPECT_EQ(ReadBytes(folder / "A15.bmp"), "a15");
    EXPECT_NE(fs::status(folder / "A15.bmp").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_FALSE(fs::exists(folder / "XPCorona.ssk"));
    for (const std::string& name : DataFolder::EmptyFiles())
        EXPECT_TRUE(fs::is_regular_file(folder / name) && fs::file_size(folder / name) == 0) << name;

    // The user's edits survive an updated installation; only a deleted file comes back.
    WriteBytes(folder / "A15.bmp", "mine");
    WriteBytes(folder / "ZUD.txt", "mine");
    fs::remove(folder / "A16.bmp");
    fs::permissions(installed / "A15.bmp", fs::perms::owner_write, fs::perm_options::add);
    WriteBytes(installed / "A15.bmp", "updated");
    ASSERT_TRUE(DataFolder::Prepare(folder.string(), installed.string()));
    EXPECT_EQ(ReadBytes(folder / "A15.bmp"), "mine");
    EXPECT_EQ(ReadBytes(folder / "ZUD.txt"), "mine");
    EXPECT_EQ(ReadBytes(folder / "A16.bmp"), "a16");
    EXPECT_EQ(ReadBytes(installed / "A15.bmp"), "updated");

    // A folder that cannot be made is reported, so the session stays in its working directory.
    EXPECT_FALSE(DataFolder::Prepare((installed / "A16.bmp" / "scaletool").string(), installed.string()));
}

TEST(DataFolder, WindowsUserFolderLiesInTheApplicationData)
{
    struct Case {
        const char* appData;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Users\\li\\AppData\\Roaming", "C:\\Users\\li\\AppData\\Roaming\\ScaleTool"},
        {"d:\\profiles\\", "d:\\profiles\\ScaleTool"},
        {"\\\\server\\home\\li", "\\\\server\\home\\li\\ScaleTool"},
        {"Roaming", ""},
        {"C:", ""},
        {"", ""},
        {nullptr, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataFolder::WindowsUserFolder(c.appData), c.folder) << (c.appData ? c.appData : "-");
}

TEST(DataFolder, WritableFolderIsToldFromWhatIsNone)
{
    const ScratchFolder scratch("data-folder-writable");
    const fs::path root = scratch.Path();
    WriteBytes(root / "A15.bmp", "a15");
    EXPECT_TRUE(DataFolder::IsWritable(root.string()));
    EXPECT_FALSE(fs::exists(root / ".scaletool-write-check"));  // the check leaves nothing behind
    EXPECT_FALSE(DataFolder::IsWritable((root / "missing").string()));
    EXPECT_FALSE(DataFolder::IsWritable((root / "A15.bmp").string()));
    EXPECT_FALSE(DataFolder::IsWritable(""));
}

} // namespace
