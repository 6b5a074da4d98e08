#include "settings/AppPaths.h"
#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"
#include "link/ScaleCommandSet.h"
#include "support/OrdinaryUser.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// GBK bytes of the names used below.
const std::string kApple = "\xC6\xBB\xB9\xFB";          // 苹果
const std::string kBanana = "\xCF\xE3\xBD\xB6";         // 香蕉
const std::string kPork = "\xCE\xE5\xBB\xA8\xC8\xE2";   // 五花肉
const std::string kEggs = "\xBC\xA6\xB5\xB0";           // 鸡蛋

// ---------------------------------------------------------------------------------------------
// SplitFields

struct SplitCase {
    const char* what;
    std::string text;
    std::string separator;
    std::vector<std::string> fields;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.what; }

class SplitFieldsTable : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFieldsTable, Splits)
{
    const SplitCase& c = GetParam();
    std::vector<std::string> list;
    SplitFields(c.text, c.separator, list);
    EXPECT_EQ(list, c.fields) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitFieldsTable, testing::Values(
    SplitCase{"empty text gives no fields", "", ",", {}},
    SplitCase{"one field", "abc", ",", {"abc"}},
    SplitCase{"plain line", "1,C1,name,6.80", ",", {"1", "C1", "name", "6.80"}},
    SplitCase{"consecutive separators", "a,,b", ",", {"a", "", "b"}},
    SplitCase{"trailing separator", "1,c,n,", ",", {"1", "c", "n", ""}},
    SplitCase{"leading separator stays in the first field", ",a,b", ",", {",a", "b"}},
    SplitCase{"a lone separator is one field", ",", ",", {","}},
    SplitCase{"two separators", ",,", ",", {",", ""}},
    SplitCase{"leading comma before a number", ",4,c,n", ",", {",4", "c", "n"}},
    SplitCase{"Chinese fields", "1,A," + kApple + ",6.80", ",", {"1", "A", kApple, "6.80"}},
    SplitCase{"longer separator", "a, b, c", ", ", {"a", "b", "c"}},
    SplitCase{"overlapping separators give empty pieces", "xaaa", "aa", {"x", "", ""}},
    SplitCase{"empty separator keeps the text whole", "a,b", "", {"a,b"}},
    // 0xC4 0x7C is one character whose trail byte equals '|'.
    SplitCase{"separator byte inside a double-byte character", "a\xC4\x7C" "b|c", "|", {"a\xC4\x7C" "b", "c"}},
    SplitCase{"double-byte character first; search starts inside it", "\xC4\x7C" "x|y", "|", {"\xC4\x7C" "x", "y"}}));

TEST(SplitFields, AppendsToWhatTheListHolds)
{
    std::vector<std::string> list{"kept"};
    SplitFields("a,b", ",", list);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "a", "b"}));
}

// ---------------------------------------------------------------------------------------------
// Files

class CommodityFiles : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = AppPaths::ApplicationDirectory();
        AppPaths::SetApplicationDirectory(dir_.string());
    }
    void TearDown() override { AppPaths::SetApplicationDirectory(previous_); }

    fs::path File(const std::string& name) const { return folder_.File(name); }
    void Write(const std::string& name, const std::string& bytes) const { folder_.Write(name, bytes); }
    std::string Read(const std::string& name) const { return folder_.Read(name); }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static CommodityTable Sample()
    {
        CommodityTable table;
        table.SetCell(0, CommodityTable::Code, "1001");
        table.SetCell(0, CommodityTable::Name, kApple);
        table.SetCell(0, CommodityTable::Price, "6.80");
        table.SetCell(1, CommodityTable::Code, "1002");
        table.SetCell(1, CommodityTable::Name, kBanana);
        table.SetCell(1, CommodityTable::Price, "3.50");
        table.SetCell(9, CommodityTable::Code, "2010");
        table.SetCell(9, CommodityTable::Name, kPork);
        table.SetCell(9, CommodityTable::Price, "16.00");
        table.SetCell(199, CommodityTable::Code, "3200");
        table.SetCell(199, CommodityTable::Name, kEggs);
        return table;
    }

    static CommodityTable Full(char tag)
    {
        CommodityTable table;
        for (int row = 0; row < CommodityTable::kRows; ++row) {
            table.SetCell(row, CommodityTable::Code, std::string(1, tag) + std::to_string(row));
            table.SetCell(row, CommodityTable::Name, kPork + std::to_string(row) + kApple + kBanana);
            table.SetCell(row, CommodityTable::Price, std::to_string(row) + ".80");
        }
        return table;
    }

    ScratchFolder folder_{"commodity-test"};
    const fs::path dir_ = folder_.Path();
    std::string previous_;
};

struct Row {
    int row;
    std::string code, name, price;
};

void ExpectRows(const CommodityTable& table, const std::vector<Row>& rows, const std::string& what)
{
    for (int r = 0; r < CommodityTable::kRows; ++r) {
        Row expected{r, "", "", ""};
        for (const Row& row : rows)
            if (row.row == r)
                expected = row;
        EXPECT_EQ(table.Cell(r, CommodityTable::Number), std::to_string(r + 1)) << what;
        EXPECT_EQ(table.Cell(r, CommodityTable::Code), expected.code) << what << " row " << r;
        EXPECT_EQ(table.Cell(r, CommodityTable::Name), expected.name) << what << " row " << r;
        EXPECT_EQ(table.Cell(r, CommodityTable::Price), expected.price) << what << " row " << r;
        EXPECT_EQ(table.Cell(r, CommodityTable::Hidden), "") << what;
    }
}

TEST_F(CommodityFiles, PathsPerSeries)
{
    EXPECT_EQ(CommodityFilePath(ScaleSeries::Zud), File("ZUD.txt").string());
    EXPECT_EQ(CommodityFilePath(ScaleSeries::Zev), File("ZEV.txt").string());
    EXPECT_EQ(CommodityFilePath(ScaleSeries::Rivav), "");
    EXPECT_EQ(CommodityFilePath(ScaleSeries::None), "");
}

struct LoadCase {
    const char* what;
    std::string file;
    std::vector<Row> rows;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.what; }

class LoadingLines : public CommodityFiles, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadingLines, FillsTheRowsTheLinesName)
{
    const LoadCase& c = GetParam();
    Write("ZEV.txt", c.file);
    CommodityTable table = Full('x'); // loading first empties what the table held
    LoadCommodityFile(table, ScaleSeries::Zev);
    ExpectRows(table, c.rows, c.what);
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadingLines, testing::Values(
    LoadCase{"plain lines in any order", "3,C3,n3,3.00\r\n1,C1,n1,1.00\r\n",
             {{0, "C1", "n1", "1.00"}, {2, "C3", "n3", "3.00"}}},
    LoadCase{"spaces around code, name and price are trimmed",
             "1,  C1 , " + kApple + " ,  6.80 \r\n", {{0, "C1", kApple, "6.80"}}},
    LoadCase{"only spaces are trimmed: tabs stay", "1,\tC1,n\t,p\r\n", {{0, "\tC1", "n\t", "p"}}},
    LoadCase{"the number converts like atoi: leading blanks", "  4,c,n,p\r\n", {{3, "c", "n", "p"}}},
    LoadCase{"+5 fills commodity 5; three fields leave the price empty", "+5,c,n\r\n", {{4, "c", "n", ""}}},
    LoadCase{"7x fills commodity 7", "7x,c,n,p\r\n", {{6, "c", "n", "p"}}},
    LoadCase{"0, 201 and -1 are ignored; 1 and 200 are taken",
             "0,a,a,a\r\n201,b,b,b\r\n-1,c,c,c\r\n1,d,d,d\r\n200,e,e,e\r\n",
             {{0, "d", "d", "d"}, {199, "e", "e", "e"}}},
    LoadCase{"a number too large for an int is ignored", "99999999999999999999,c,n,p\r\n", {}},
    LoadCase{"no digits count as 0", "x1,c,n,p\r\n", {}},
    LoadCase{"a trailing comma is an empty price", "3,c,n,9.99\r\n3,c2,n2,\r\n", {{2, "c2", "n2", ""}}},
    LoadCase{"a three-field line keeps an earlier price", "3,c,n,9.99\r\n3,c2,n2\r\n", {{2, "c2", "n2", "9.99"}}},
    LoadCase{"the last line wins", "2,a,b,c\r\n2,d,e,f\r\n", {{1, "d", "e", "f"}}},
    LoadCase{"a leading comma makes the number field 0", ",4,c,n\r\n", {}},
    LoadCase{"five fields (a comma in a cell) are ignored", "1,c,n,a,b\r\n2,c,n,p\r\n", {{1, "c", "n", "p"}}},
    LoadCase{"two fields and empty lines are ignored", "1,c\r\n\r\n\r\n2\r\n3,c,n,p\r\n", {{2, "c", "n", "p"}}},
    LoadCase{"Ctrl+Z ends the file", "1,a,b,c\r\n\x1A" "2,d,e,f\r\n", {{0, "a", "b", "c"}}},
    LoadCase{"Ctrl+Z in the middle of a line", "1,a,b,c\x1A" "d\r\n", {{0, "a", "b", "c"}}},
    LoadCase{"a last line without terminator is read", "1,a,b,c\r\n2,d,e,f", {{0, "a", "b", "c"}, {1, "d", "e", "f"}}},
    LoadCase{"LF alone ends a line too", "1,a,b,c\n2,d,e,f\n", {{0, "a", "b", "c"}, {1, "d", "e", "f"}}},
    LoadCase{"a CR without LF stays in the text", "1,a,b,c\r", {{0, "a", "b", "c\r"}}},
    LoadCase{"an empty file", "", {}},
    LoadCase{"Chinese names", "1,1001," + kApple + ",6.80\r\n4,1004," + kEggs + ",12.50\r\n",
             {{0, "1001", kApple, "6.80"}, {3, "1004", kEggs, "12.50"}}}));

TEST_F(CommodityFiles, MissingFileLeavesTheTableEmpty)
{
    CommodityTable table = Full('x');
    LoadCommodityFile(table, ScaleSeries::Zud);
    ExpectRows(table, {}, "missing ZUD.txt");
}

TEST_F(CommodityFiles, EachSeriesReadsItsOwnFile)
{
    Write("ZUD.txt", "1,zud,n,1\r\n");
    Write("ZEV.txt", "1,zev,n,1\r\n");
    CommodityTable table;
    LoadCommodityFile(table, ScaleSeries::Zud);
    EXPECT_EQ(table.Cell(0, CommodityTable::Code), "zud");
    LoadCommodityFile(table, ScaleSeries::Zev);
    EXPECT_EQ(table.Cell(0, CommodityTable::Code), "zev");
    LoadCommodityFile(table, ScaleSeries::Rivav);
    ExpectRows(table, {}, "RIVAV loads nothing");
}

TEST_F(CommodityFiles, ReadOnlyFileStillLoads)
{
    Write("ZEV.txt", "2,c," + kBanana + ",3.50\r\n");
    fs::permissions(File("ZEV.txt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    CommodityTable table;
    LoadCommodityFile(table, ScaleSeries::Zev);
    ExpectRows(table, {{1, "c", kBanana, "3.50"}}, "read-only file");
}

TEST_F(CommodityFiles, SaveWritesExactLinesForRowsWithACode)
{
    CommodityTable table = Sample();
    table.SetCell(5, CommodityTable::Name, "no code, not written");
    table.SetCell(5, CommodityTable::Price, "1.00");
    table.SetCell(7, CommodityTable::Code, " 8 ");
    table.SetCell(7, CommodityTable::Name, " spaced ");
    ASSERT_TRUE(SaveCommodityFile(table, ScaleSeries::Zev));
    EXPECT_EQ(Read("ZEV.txt"),
              "1,1001," + kApple + ",6.80\r\n"
              "2,1002," + kBanana + ",3.50\r\n"
              "8, 8 , spaced ,\r\n"
              "10,2010," + kPork + ",16.00\r\n"
              "200,3200," + kEggs + ",\r\n");
}

TEST_F(CommodityFiles, GbkNamesSurviveASaveAndLoad)
{
    const CommodityTable saved = Sample();
    ASSERT_TRUE(SaveCommodityFile(saved, ScaleSeries::Zud));
    CommodityTable loaded;
    LoadCommodityFile(loaded, ScaleSeries::Zud);
    for (int row = 0; row < CommodityTable::kRows; ++row)
        for (int column = 0; column < CommodityTable::kColumns; ++column)
            EXPECT_EQ(loaded.Cell(row, column), saved.Cell(row, column)) << row << "," << column;
}

TEST_F(CommodityFiles, SpacesAreKeptOnSaveButTrimmedOnTheNextLoad)
{
    CommodityTable table;
    table.SetCell(2, CommodityTable::Code, " C3");
    table.SetCell(2, CommodityTable::Name, "name ");
    table.SetCell(2, CommodityTable::Price, " 1.5 ");
    ASSERT_TRUE(SaveCommodityFile(table, ScaleSeries::Zev));
    EXPECT_EQ(Read("ZEV.txt"), "3, C3,name , 1.5 \r\n");
    LoadCommodityFile(table, ScaleSeries::Zev);
    ExpectRows(table, {{2, "C3", "name", "1.5"}}, "reloaded");
}

TEST_F(CommodityFiles, ACommaInACellIsWrittenAndTheRowComesBackEmpty)
{
    CommodityTable table;
    table.SetCell(0, CommodityTable::Code, "1");
    table.SetCell(0, CommodityTable::Name, "apples, red");
    table.SetCell(1, CommodityTable::Code, "2");
    table.SetCell(1, CommodityTable::Name, "pears");
    ASSERT_TRUE(SaveCommodityFile(table, ScaleSeries::Zev));
    EXPECT_EQ(Read("ZEV.txt"), "1,1,apples, red,\r\n2,2,pears,\r\n");
    LoadCommodityFile(table, ScaleSeries::Zev);
    ExpectRows(table, {{1, "2", "pears", ""}}, "comma in a name");
}

TEST_F(CommodityFiles, ATableWithoutCodesGivesAnEmptyFile)
{
    Write("ZEV.txt", "1,old,old,old\r\n");
    CommodityTable table;
    table.SetCell(4, CommodityTable::Name, "name only");
    ASSERT_TRUE(SaveCommodityFile(table, ScaleSeries::Zev));
    ASSERT_TRUE(fs::exists(File("ZEV.txt")));
    EXPECT_EQ(fs::file_size(File("ZEV.txt")), 0u);
}

TEST_F(CommodityFiles, SeriesWithoutAFileWriteNothing)
{
    const CommodityTable table = Sample();
    EXPECT_TRUE(SaveCommodityFile(table, ScaleSeries::Rivav));
    EXPECT_TRUE(SaveCommodityFile(table, ScaleSeries::None));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(CommodityFiles, SaveLeavesNoTemporaryFileBehind)
{
    Write("ZEV.txt", "1,old,old,old\r\n");
    ASSERT_TRUE(SaveCommodityFile(Sample(), ScaleSeries::Zev));
    EXPECT_EQ(Entries(), std::vector<std::string>{"ZEV.txt"});
}

TEST_F(CommodityFiles, SaveKeepsTheFilePermissions)
{
    Write("ZEV.txt", "1,old,old,old\r\n");
    fs::permissions(File("ZEV.txt"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(SaveCommodityFile(Sample(), ScaleSeries::Zev));
    EXPECT_EQ(fs::status(File("ZEV.txt")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(CommodityFiles, SaveThroughALinkReplacesTheTarget)
{
    Write("real.txt", "1,old,old,old\r\n");
    fs::create_symlink(File("real.txt"), File("ZEV.txt"));
    ASSERT_TRUE(SaveCommodityFile(Sample(), ScaleSeries::Zev));
    EXPECT_TRUE(fs::is_symlink(File("ZEV.txt")));
    EXPECT_EQ(Read("real.txt"), FormatCommodityText(Sample()));
}

// A failed save reports false and leaves the old file exactly as it was.

TEST_F(CommodityFiles, SaveIntoAMissingDirectoryFails)
{
    AppPaths::SetApplicationDirectory((dir_ / "missing").string());
    EXPECT_FALSE(SaveCommodityFile(Sample(), ScaleSeries::Zev));
}

TEST_F(CommodityFiles, FailedRenameKeepsTheOldEntry)
{
    // A non-empty directory where the file should be: the rename over it fails.
    fs::create_directory(File("ZEV.txt"));
    Write("ZEV.txt/keep", "x");
    EXPECT_FALSE(SaveCommodityFile(Sample(), ScaleSeries::Zev));
    EXPECT_EQ(Read("ZEV.txt/keep"), "x");
    EXPECT_EQ(Entries(), std::vector<std::string>{"ZEV.txt"});
}

TEST_F(CommodityFiles, DiskFullDuringTheWriteKeepsTheOldFile)
{
    const std::string old = "1,old," + kApple + ",1.00\r\n";
    Write("ZEV.txt", old);
    // Files may not grow past 1 KiB: the full table's write fails part-way, as on a full disk.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = SaveCommodityFile(Full('n'), ScaleSeries::Zev);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(Read("ZEV.txt"), old);
    EXPECT_EQ(Entries(), std::vector<std::string>{"ZEV.txt"});
}

bool SaveAsOrdinaryUser(const CommodityTable& table, ScaleSeries series)
{
    const int result = AsOrdinaryUser([&] { return SaveCommodityFile(table, series); });
    EXPECT_NE(result, -1) << "could not drop to an ordinary user";
    return result == 1;
}

TEST_F(CommodityFiles, ReadOnlyFileIsNotReplaced)
{
    Write("ZEV.txt", "1,old,old,old\r\n");
    fs::permissions(File("ZEV.txt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir_, fs::perms::all); // the directory itself is writable
    EXPECT_FALSE(SaveAsOrdinaryUser(Sample(), ScaleSeries::Zev));
    EXPECT_EQ(Read("ZEV.txt"), "1,old,old,old\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"ZEV.txt"});
}

// A directory the user cannot write takes no temporary file: a file the user may write is then
// rewritten in place, through a link and with its mode kept; a full disk still leaves it whole.
TEST_F(CommodityFiles, UnwritableDirectorySavesAWritableFileInPlace)
{
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read
                         | fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    Write("real.txt", "1,old,old,old\r\n");
    fs::permissions(File("real.txt"), mode);
    fs::create_symlink("real.txt", File("ZEV.txt"));
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
                              | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

    const int tooBig = AsOrdinaryUser([] {
        rlimit small{1024, 1024};
        std::signal(SIGXFSZ, SIG_IGN);
        return ::setrlimit(RLIMIT_FSIZE, &small) == 0 && SaveCommodityFile(Full('n'), ScaleSeries::Zev);
    });
    EXPECT_EQ(tooBig, 0);
    EXPECT_EQ(Read("real.txt"), "1,old,old,old\r\n");

    EXPECT_EQ(SaveAsOrdinaryUser(Sample(), ScaleSeries::Zev), true);
    EXPECT_EQ(Read("real.txt"), FormatCommodityText(Sample()));
    EXPECT_TRUE(fs::is_symlink(File("ZEV.txt")));
    EXPECT_EQ(fs::status(File("real.txt")).permissions() & fs::perms::all, mode);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"ZEV.txt", "real.txt"}));
}

// A file that is there but cannot be read is told apart from a missing one, so the caller can keep
// it from being saved over.
TEST_F(CommodityFiles, LoadTellsAMissingFileFromAnUnreadableOne)
{
    CommodityTable table = Full('x');
    EXPECT_EQ(LoadCommodityFile(table, ScaleSeries::Zev), CommodityLoad::Missing);
    ExpectRows(table, {}, "missing");
    EXPECT_EQ(LoadCommodityFile(table, ScaleSeries::Rivav), CommodityLoad::Loaded);

    fs::create_directory(File("ZEV.txt"));
    EXPECT_EQ(LoadCommodityFile(table, ScaleSeries::Zev), CommodityLoad::Unreadable);
    fs::remove(File("ZEV.txt"));

    Write("ZUD.txt", "1,a,b,c\r\n");
    fs::permissions(File("ZUD.txt"), fs::perms::owner_write);
    fs::permissions(dir_, fs::perms::all);
    const int unreadable = AsOrdinaryUser([] {
        CommodityTable loaded;
        return LoadCommodityFile(loaded, ScaleSeries::Zud) == CommodityLoad::Unreadable;
    });
    EXPECT_EQ(unreadable, 1);
}

TEST_F(CommodityFiles, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile)
{
    const CommodityTable first = Full('a');
    const CommodityTable second = Full('b');
    const std::string firstBytes = FormatCommodityText(first);
    const std::string secondBytes = FormatCommodityText(second);
    ASSERT_TRUE(SaveCommodityFile(first, ScaleSeries::Zev));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                SaveCommodityFile(second, ScaleSeries::Zev);
                SaveCommodityFile(first, ScaleSeries::Zev);
            }
        }
        ::usleep(useconds_t(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = Read("ZEV.txt");
        ASSERT_TRUE(now == firstBytes || now == secondBytes) << "round " << round << ": " << now.size() << " bytes";
    }
}

TEST(CommodityText, FormatAndParseAreInverseForRowsWithACode)
{
    CommodityTable table;
    table.SetCell(0, CommodityTable::Code, "A");
    table.SetCell(0, CommodityTable::Name, kApple);
    table.SetCell(0, CommodityTable::Price, "6.80");
    table.SetCell(150, CommodityTable::Code, "B");
    const std::string bytes = FormatCommodityText(table);
    EXPECT_EQ(bytes, "1,A," + kApple + ",6.80\r\n151,B,,\r\n");
    CommodityTable parsed;
    ParseCommodityText(parsed, bytes);
    EXPECT_EQ(parsed.Cell(0, CommodityTable::Name), kApple);
    EXPECT_EQ(parsed.Cell(150, CommodityTable::Code), "B");
    EXPECT_EQ(parsed.Cell(150, CommodityTable::Price), "");
}

// Whatever bytes a file holds, saving what was loaded and loading that again gives the same rows.
// Rows without a code are shown as loaded but never saved, so the comparison is of what is saved.
void ExpectStableRoundTrip(const std::string& file)
{
    CommodityTable first;
    ParseCommodityText(first, file);
    const std::string saved = FormatCommodityText(first);
    CommodityTable second;
    ParseCommodityText(second, saved);
    ASSERT_EQ(FormatCommodityText(second), saved) << testing::PrintToString(file);
}

TEST(CommodityText, LoadSaveLoadIsStableForAnyBytes)
{
    // A lead byte alone before the line end, a space as the second byte of a character, a row
    // without a code.
    for (const std::string& file : {std::string("1,a,b\x81\r\n"), std::string("1,a,\x81 ,c"),
                                   std::string("1,a,b \x81"), std::string("1, ,x,9\r\n"),
                                   std::string("1,a,b,c\r\n1,,x\r\n"), std::string("2,a,b\x81\r,\r\n")})
        ExpectStableRoundTrip(file);

    // Random lines from the bytes that matter to the format.
    const std::string alphabet = "12,, ,  \r\n\x81\x81\xFE\x1A\t0a";
    std::mt19937 random(2024);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 20000; ++round) {
        std::string file;
        for (int i = length(random); i > 0; --i)
            file += alphabet[pick(random)];
        ExpectStableRoundTrip(file);
        if (HasFatalFailure())
            return;
    }
}

} // namespace

namespace {

// The sample files shipped for the demo load as the tool would load them.
TEST(DemoFiles, LoadWithChineseNamesAndPrices)
{
    const std::string previous = AppPaths::ApplicationDirectory();
    AppPaths::SetApplicationDirectory(SCALETOOL_DEMO_DIR);
    CommodityTable zev;
    LoadCommodityFile(zev, ScaleSeries::Zev);
    CommodityTable zud;
    LoadCommodityFile(zud, ScaleSeries::Zud);
    AppPaths::SetApplicationDirectory(previous);

    // The keyboard sheet prints commodities 1 to 41: all of them have a name.
    for (int row = 0; row < 41; ++row) {
        EXPECT_FALSE(zev.Cell(row, CommodityTable::Code).empty()) << row;
        EXPECT_FALSE(zev.Cell(row, CommodityTable::Name).empty()) << row;
        EXPECT_FALSE(zev.Cell(row, CommodityTable::Price).empty()) << row;
    }
    EXPECT_EQ(zev.Cell(0, CommodityTable::Name), kApple);
    EXPECT_EQ(zev.Cell(0, CommodityTable::Price), "6.80");
    EXPECT_FALSE(zud.Cell(0, CommodityTable::Name).empty());
    EXPECT_TRUE(zud.Cell(199, CommodityTable::Code).empty());
}

} // namespace
