// Whole-file reads and replacements on Windows.

#include "settings/DurableFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class DurableFileWin32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path()
               / ("durable-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "ZEV.txt").string();
    }
    void TearDown() override
    {
        std::error_code error;
        fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add, error);
        fs::remove_all(dir_, error);
    }
    std::string Contents() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(DurableFileWin32, ReplaceCreatesThenReplacesLeavingOnlyTheFile)
{
    ASSERT_TRUE(DurableFile::Replace(path_, "1,1001,a,1.00\r\n"));
    ASSERT_TRUE(DurableFile::Replace(path_, std::string("2,\xC6\xBB\xB9\xFB\r\n")));
    std::string bytes;
    EXPECT_EQ(DurableFile::ReadAll(path_, bytes), DurableFile::ReadStatus::Read);
    EXPECT_EQ(bytes, "2,\xC6\xBB\xB9\xFB\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST_F(DurableFileWin32, ReadOnlyFileIsNotReplaced)
{
    ASSERT_TRUE(DurableFile::Replace(path_, "old"));
    fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(DurableFile::Replace(path_, "new"));
    EXPECT_EQ(Contents(), "old");
}

TEST_F(DurableFileWin32, MissingFileOrFolder)
{
    std::string bytes;
    EXPECT_EQ(DurableFile::ReadAll(path_, bytes), DurableFile::ReadStatus::Missing);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(DurableFile::Replace((dir_ / "no-such-folder" / "ZEV.txt").string(), "x"));
}

} // namespace
