#include "app/DataFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

TEST(DataFolder, UserFolderFollowsTheXdgRules)
{
    struct Case {
        const char* xdg;
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        {"/x/data", "/home/u", "/x/data/scaletool"},
        {nullptr, "/home/u", "/home/u/.local/share/scaletool"},
        {"", "/home/u", "/home/u/.local/share/scaletool"},
        {"relative/data", "/home/u", "/home/u/.local/share/scaletool"},
        {"/x/data", nullptr, "/x/data/scaletool"},
        {nullptr, nullptr, ""},
        {"relative", "also-relative", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataFolder::UserFolder(c.xdg, c.home), c.folder)
            << (c.xdg ? c.xdg : "(unset)") << " / " << (c.home ? c.home : "(unset)");
}

TEST(DataFolder, OnlyTheOptionAfterTheProgramAsksForTheUserFolder)
{
    EXPECT_TRUE(DataFolder::AsksForUserData({"scaletool", "--user-data"}));
    EXPECT_TRUE(DataFolder::AsksForUserData({"scaletool", "-style", "fusion", "--user-data"}));
    EXPECT_FALSE(DataFolder::AsksForUserData({"scaletool"}));
    EXPECT_FALSE(DataFolder::AsksForUserData({"--user-data"}));
    EXPECT_FALSE(DataFolder::AsksForUserData({"scaletool", "--user-data=x"}));
}

class PreparedFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("data-folder-test-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        installed_ = root_ / "share";
        fs::create_directories(installed_);
        for (const std::string& name : DataFolder::CopiedFiles())
            write(installed_ / name, "installed " + name);
        folder_ = root_ / "home" / "data" / "scaletool";
    }
    void TearDown() override { fs::remove_all(root_); }

    static void write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }

    fs::path root_;
    fs::path installed_;
    fs::path folder_;
};

TEST_F(PreparedFolder, FirstStartGivesTheFilesAndLaterStartsKeepTheUsersOwn)
{
    // The installed data is read only, as it is under /usr.
    for (const std::string& name : DataFolder::CopiedFiles())
        fs::permissions(installed_ / name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    ASSERT_TRUE(DataFolder::Prepare(folder_.string(), installed_.string()));
    for (const std::string& name : DataFolder::CopiedFiles()) {
        EXPECT_EQ(read(folder_ / name), "installed " + name);
        EXPECT_NE(fs::status(folder_ / name).permissions() & fs::perms::owner_write, fs::perms::none) << name;
    }
    for (const std::string& name : DataFolder::EmptyFiles()) {
        ASSERT_TRUE(fs::is_regular_file(folder_ / name)) << name;
        EXPECT_EQ(fs::file_size(folder_ / name), 0u) << name;
    }
    EXPECT_FALSE(fs::exists(folder_ / "Option.ini"));

    // The user edits everything; a second start, even after an update of the installed data,
    // changes nothing, and gives back only what was deleted.
    for (const auto& entry : fs::directory_iterator(folder_))
        write(entry.path(), "mine");
    for (const std::string& name : DataFolder::CopiedFiles())
        fs::permissions(installed_ / name, fs::perms::owner_write, fs::perm_options::add);
    write(installed_ / "A15.bmp", "updated");
    fs::remove(folder_ / "A16.bmp");
    fs::remove(folder_ / "ZEV.txt");

    ASSERT_TRUE(DataFolder::Prepare(folder_.string(), installed_.string()));
    EXPECT_EQ(read(folder_ / "A15.bmp"), "mine");
    EXPECT_EQ(read(folder_ / "XPCorona.ssk"), "mine");
    EXPECT_EQ(read(folder_ / "ZUD.txt"), "mine");
    EXPECT_EQ(read(folder_ / "A16.bmp"), "installed A16.bmp");
    EXPECT_EQ(read(folder_ / "ZEV.txt"), "");
    // The installed data is only read.
    EXPECT_EQ(read(installed_ / "A15.bmp"), "updated");
    EXPECT_EQ(read(installed_ / "A16.bmp"), "installed A16.bmp");
}

TEST_F(PreparedFolder, MissingInstalledDataStillGivesAWorkingFolder)
{
    ASSERT_TRUE(DataFolder::Prepare(folder_.string(), (root_ / "nowhere").string()));
    for (const std::string& name : DataFolder::CopiedFiles())
        EXPECT_FALSE(fs::exists(folder_ / name)) << name;
    for (const std::string& name : DataFolder::EmptyFiles())
        EXPECT_TRUE(fs::is_regular_file(folder_ / name)) << name;
}

TEST_F(PreparedFolder, NoFolderWhenItCannotBeMade)
{
    write(root_ / "file", "x");
    EXPECT_FALSE(DataFolder::Prepare((root_ / "file" / "scaletool").string(), installed_.string()));
    EXPECT_FALSE(DataFolder::Prepare("", installed_.string()));
}

} // namespace
