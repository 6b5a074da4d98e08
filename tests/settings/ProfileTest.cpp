#include "settings/Profile.h"
#ifndef _WIN32
#include "support/OrdinaryUser.h"
#endif

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ProfileFile : public ::testing::Test {
protected:
    void write(const std::string& bytes) { folder_.Write("Option.ini", bytes); }
    std::string contents() const { return folder_.Read("Option.ini"); }

    ScratchFolder folder_{"profile-test"};
    const std::filesystem::path dir_ = folder_.Path();
    const std::string path_ = folder_.File("Option.ini").string();
};

struct ReadCase {
    const char* file;
    const char* section;
    const char* key;
    const char* text;  // what ReadText answers with the fallback "dflt"
    int integer;       // what ReadInt answers with the fallback 77
};

class ProfileRead : public ProfileFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileRead, AnswersLikeThePlatformFunctions)
{
    const ReadCase& c = GetParam();
    write(c.file);
    EXPECT_EQ(Profile::ReadText(path_, c.section, c.key, "dflt"), c.text);
    EXPECT_EQ(Profile::ReadInt(path_, c.section, c.key, 77), c.integer);
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceTable, ProfileRead,
    ::testing::Values(
        ReadCase{"[System]\r\nPort=3\r\n", "System", "Port", "3", 3},
        ReadCase{"[System]\r\nPort=3\r\n", "SYSTEM", "port", "3", 3},
        ReadCase{"[System]\r\nNeg=-1\r\n", "System", "Neg", "-1", -1},
        ReadCase{"[System]\r\n  Spaced  =  7x  \r\n", "System", "Spaced", "7x", 7},
        ReadCase{"[System]\r\nTab=\t9\t\r\n", "System", "Tab", "9", 9},
        ReadCase{"[System]\r\nQuoted=\"abc\"\r\n", "System", "Quoted", "abc", 0},
        ReadCase{"[System]\r\nSingle='x'\r\n", "System", "Single", "x", 0},
        ReadCase{"[System]\r\nQ2=\"a\"b\"\r\n", "System", "Q2", "a\"b", 0},
        ReadCase{"[System]\r\nQ1=\"unterminated\r\n", "System", "Q1", "\"unterminated", 0},
        ReadCase{"[System]\r\nEmpty=\r\n", "System", "Empty", "", 77},
        ReadCase{"[System]\r\nEq=x=y\r\n", "System", "Eq", "x=y", 0},
        ReadCase{"[System]\r\nNoEq\r\n", "System", "NoEq", "dflt", 77},
        ReadCase{"[System]\r\n;Comment=1\r\n", "System", "Comment", "dflt", 77},
        ReadCase{"[System]\r\nA=1\r\nA=2\r\n", "System", "A", "1", 1},
        ReadCase{"[System]\r\nA=1\r\n[Font]\r\nB=2\r\n[system]\r\nLate=5\r\n", "System", "Late", "dflt", 77},
        ReadCase{"[ Spaced ]\r\nK=1\r\n", "Spaced", "K", "1", 1},
        ReadCase{"[ Spaced ]\r\nK=1\r\n", " Spaced ", "K", "1", 1},
        ReadCase{"[System]\nPort=4\nBaudrate=5", "System", "Baudrate", "5", 5},
        ReadCase{"[System]\r\nPort=3\r\n", "Font", "Port", "dflt", 77},
        ReadCase{"[System]\r\nPort=3\r\n", "System", "Missing", "dflt", 77},
        ReadCase{"", "System", "Port", "dflt", 77},
        ReadCase{"[System]\r\nCorp=\xC9\xCC\xB5\xEA\r\n", "System", "Corp", "\xC9\xCC\xB5\xEA", 0}));

struct IntCase {
    const char* value;
    int expected;
};

class ProfileInteger : public ProfileFile, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileInteger, ConvertsTheLeadingNumber)
{
    write(std::string("[S]\r\nK=") + GetParam().value + "\r\n");
    EXPECT_EQ(Profile::ReadInt(path_, "S", "K", 77), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceTable, ProfileInteger,
    ::testing::Values(IntCase{"+5", 5}, IntCase{"-12abc", -12}, IntCase{" -12abc", -12}, IntCase{"--1", 0},
                      IntCase{"abc", 0}, IntCase{"+", 0}, IntCase{"1e3", 1}, IntCase{"017", 17},
                      IntCase{"4294967295", -1}, IntCase{"2147483648", -2147483647 - 1},
                      IntCase{"99999999999", 1215752191}, IntCase{"0x10", 16}, IntCase{"0b101", 5},
                      IntCase{"0o17", 15}, IntCase{"0XfF", 0}, IntCase{"0x", 0}));

TEST_F(ProfileFile, LongValuesAreCutTo127Bytes)
{
    write("[System]\r\nCorp=" + std::string(200, 'n') + "\r\n");
    EXPECT_EQ(Profile::ReadText(path_, "System", "Corp", ""), std::string(127, 'n'));
}

TEST_F(ProfileFile, NewFileIsWrittenInCallOrderWithCrLf)
{
    ASSERT_TRUE(Profile::WriteInt(path_, "System", "Port", 0));
    ASSERT_TRUE(Profile::WriteInt(path_, "System", "Baudrate", 2));
    ASSERT_TRUE(Profile::WriteText(path_, "Font", "Name", "X Y"));
    ASSERT_TRUE(Profile::WriteText(path_, "System", "Corp", ""));
    EXPECT_EQ(contents(), "[System]\r\nPort=0\r\nBaudrate=2\r\nCorp=\r\n[Font]\r\nName=X Y\r\n");
}

TEST_F(ProfileFile, RewriteKeepsSpellingCommentsAndOrder)
{
    write("; settings\n[System]\nport = 3\nOther=1\n\n[Font]\nName=a\n");
    Profile::WriteInt(path_, "SYSTEM", "PORT", 5);
    Profile::WriteInt(path_, "System", "NewKey", 7);
    Profile::WriteInt(path_, "Font", "Height", -13);
    Profile::WriteText(path_, "Extra", "K", "v");
#ifdef _WIN32
    const char* const gap = "";  // the system's own functions drop the blank line between sections
#else
    const char* const gap = "\r\n";
#endif
    EXPECT_EQ(contents(), std::string("; settings\r\n[System]\r\nport=5\r\nOther=1\r\nNewKey=7\r\n") + gap +
                              "[Font]\r\nName=a\r\nHeight=-13\r\n[Extra]\r\nK=v\r\n");
}

TEST_F(ProfileFile, RealsAreWrittenWithSixDecimals)
{
    Profile::WriteReal(path_, "System", "g", 9.7883);
    EXPECT_EQ(Profile::ReadText(path_, "System", "g", ""), "9.788300");
    EXPECT_DOUBLE_EQ(Profile::ReadReal(path_, "System", "g", "0"), 9.7883);
    EXPECT_DOUBLE_EQ(Profile::ReadReal(path_, "System", "Missing", "9.78830"), 9.7883);
}

TEST_F(ProfileFile, JunkFilesNeverCrash)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 131 + 7) & 0xFF);
    write(junk + "\n[System\n=\n[]\n==\n[System]\nPort=" + std::string(100000, '9'));
    EXPECT_EQ(Profile::ReadText(path_, "System", "Port", "").size(), Profile::kMaxTextBytes);
    Profile::ReadInt(path_, "System", "Port", 0);
    EXPECT_TRUE(Profile::WriteInt(path_, "System", "Port", 1));
    EXPECT_EQ(Profile::ReadInt(path_, "System", "Port", 0), 1);
}

TEST_F(ProfileFile, UnwritableLocationReportsFailure)
{
    const std::string inMissingDir = (dir_ / "no-such-dir" / "Option.ini").string();
    EXPECT_FALSE(Profile::WriteInt(inMissingDir, "System", "Port", 1));
    EXPECT_EQ(Profile::ReadInt(inMissingDir, "System", "Port", 4), 4);
}

// A line break in a name or value would let the text stand as keys or sections of its own.
TEST_F(ProfileFile, TextWithALineBreakIsRefused)
{
    write("[System]\r\nCorp=old\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {{"System", "Corp", "a\r\n[Font]\r\nName=x"}, {"System", "Corp", "a\nPort=9"},
                          {"System", "Corp", "a\r"}, {"System", "Port\r\nLED", "1"},
                          {"System]\r\n[Font", "Name", "x"}};
    for (const Case& c : cases)
        EXPECT_FALSE(Profile::WriteText(path_, c.section, c.key, c.value)) << c.key << "=" << c.value;
    EXPECT_EQ(contents(), "[System]\r\nCorp=old\r\n");
    EXPECT_TRUE(Profile::IsWritableText("a\tb \x81"));
}

// The settings file is replaced with the care the commodity files get: through a link, with its
// mode, around another writer's temporary file, in place where the directory is closed, and never
// over a file that could not be read.
// Links, modes and users are POSIX matters; on Windows the system's own functions write the file.
#ifndef _WIN32
TEST_F(ProfileFile, WritesKeepTheFileItsLinkAndItsMode)
{
    namespace fs = std::filesystem;
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read
                         | fs::perms::others_read | fs::perms::others_write;
    folder_.Write("real.ini", "[System]\r\nPort=1\r\n");
    fs::permissions(dir_ / "real.ini", mode);
    fs::create_symlink("real.ini", path_);
    fs::create_directory(path_ + ".tmp");
    folder_.Write("Option.ini.tmp/keep", "x");

    ASSERT_TRUE(Profile::WriteInt(path_, "System", "Port", 2));
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(fs::status(dir_ / "real.ini").permissions() & fs::perms::all, mode);
    EXPECT_EQ(contents(), "[System]\r\nPort=2\r\n");

    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
                              | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::string path = path_;
    EXPECT_EQ(AsOrdinaryUser([&] { return Profile::WriteInt(path, "System", "Port", 3); }), 1);
    EXPECT_EQ(contents(), "[System]\r\nPort=3\r\n");

    // Written but not readable by the user: writing one key would drop every other line.
    fs::permissions(dir_ / "real.ini", fs::perms::owner_write | fs::perms::others_write);
    EXPECT_EQ(AsOrdinaryUser([&] { return Profile::WriteInt(path, "System", "Baudrate", 4); }), 0);
    fs::permissions(dir_, fs::perms::all);
    fs::permissions(dir_ / "real.ini", mode);
    EXPECT_EQ(contents(), "[System]\r\nPort=3\r\n");
}
#endif

TEST_F(ProfileFile, MissingFileGivesTheFallbacks)
{
    EXPECT_EQ(Profile::ReadInt(path_, "System", "Sleep", 100), 100);
    EXPECT_EQ(Profile::ReadText(path_, "System", "MAXRange", "15"), "15");
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading never creates the file";
}

} // namespace
