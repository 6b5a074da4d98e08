// Whole-file reads and replacements on Windows.

#include "settings/DurableFile.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <windows.h>

namespace fs = std::filesystem;

namespace {

class DurableFileWin32 : public ::testing::Test {
protected:
    std::string Contents() const { return folder_.Read("ZEV.txt"); }

    ScratchFolder folder_{"durable"};
    const fs::path dir_ = folder_.Path();
    const std::string path_ = folder_.File("ZEV.txt").string();
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

// A program that holds the file without sharing it for a moment (a virus scanner) delays the save;
// one that holds it for good fails it, and the old contents stay.
TEST_F(DurableFileWin32, ReplaceWaitsOutAMomentaryHolder)
{
    ASSERT_TRUE(DurableFile::Replace(path_, "old"));
    for (const DWORD holdMs : {DWORD(300), DWORD(5000)}) {
        HANDLE held = ::CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread holder([&] {
            ::Sleep(holdMs);
            ::CloseHandle(held);
        });
        const bool replaced = DurableFile::Replace(path_, "new");
        holder.join();
        if (holdMs < 1000) {
            EXPECT_TRUE(replaced) << "held for " << holdMs << " ms";
            EXPECT_EQ(Contents(), "new");
            ASSERT_TRUE(DurableFile::Replace(path_, "old"));
        } else {
            EXPECT_FALSE(replaced) << "held for " << holdMs << " ms";
            EXPECT_EQ(Contents(), "old");
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST_F(DurableFileWin32, MissingFileOrFolder)
{
    std::string bytes;
    EXPECT_EQ(DurableFile::ReadAll(path_, bytes), DurableFile::ReadStatus::Missing);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(DurableFile::Replace((dir_ / "no-such-folder" / "ZEV.txt").string(), "x"));
}

} // namespace
