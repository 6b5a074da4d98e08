#include "settings/ScaleList.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// 秤 一号 and 熟食 in GBK, and two characters whose trail bytes are ASCII '[' and 'A'.
const std::string kScaleOne = "\xb3\xd3\x20\xd2\xbb\xba\xc5";
const std::string kDeli = "\xca\xec\xca\xb3";
const std::string kWithBracket = "\x81\x5b\x81\x41";

class ScaleListFile : public ::testing::Test {
protected:
    void Write(const std::string& bytes) { folder_.Write(ScaleList::kFileName, bytes); }
    std::string Contents() const { return folder_.Read(ScaleList::kFileName); }

    ScratchFolder folder_{"scale-list-test"};
    const std::string path_ = folder_.File(ScaleList::kFileName).string();
};

TEST_F(ScaleListFile, SavedListLoadsBackEqualInOrder)
{
    const std::vector<ScaleEntry> table = {
        {kScaleOne, "/dev/ttyUSB0", 9600, 0},
        {kDeli, "rfc2217://10.0.0.7:4001", 115200, 1},
        {"Back room = 2; spare", "socket://scale-3.shop:7000", 2400, 2},
        {kWithBracket, "COM12", 38400, 0},
    };
    ScaleList list;
    for (const auto& entry : table)
        ASSERT_EQ(list.Add(entry), std::nullopt);
    ASSERT_TRUE(list.Save(path_));

    ScaleList loaded;
    ASSERT_EQ(ScaleList::Load(path_, loaded), std::nullopt);
    EXPECT_EQ(loaded.Entries(), table);
    const std::string first = "[Scale1]\r\nName=" + kScaleOne + "\r\nPort=/dev/ttyUSB0\r\nBaud=9600\r\nSeries=zud\r\n\r\n[Scale2]";
    EXPECT_EQ(Contents().substr(0, first.size()), first);
}

TEST_F(ScaleListFile, SavingFewerScalesLeavesNoOldSectionBehind)
{
    ScaleList list;
    ASSERT_EQ(list.Add({"A", "/dev/ttyS0", 9600, 0}), std::nullopt);
    ASSERT_EQ(list.Add({"B", "/dev/ttyS1", 9600, 0}), std::nullopt);
    ASSERT_TRUE(list.Save(path_));
    ASSERT_EQ(list.Remove("/dev/ttyS0"), std::nullopt);
    ASSERT_TRUE(list.Save(path_));
    ScaleList loaded;
    ASSERT_EQ(ScaleList::Load(path_, loaded), std::nullopt);
    EXPECT_EQ(loaded.Entries(), (std::vector<ScaleEntry>{{"B", "/dev/ttyS1", 9600, 0}}));
}

TEST_F(ScaleListFile, HandWrittenFileIsTakenInFileOrder)
{
    Write("; the shop's scales\r\n[scale7]\r\nseries = ZEV\r\nname=\"Till 1\"\r\nBAUD=4800\r\nport=COM3\r\n"
          "[Scale2]\nName=Till 2\nPort=COM4\nBaud=19200\nSeries=rivav\n");
    ScaleList loaded;
    ASSERT_EQ(ScaleList::Load(path_, loaded), std::nullopt);
    EXPECT_EQ(loaded.Entries(), (std::vector<ScaleEntry>{{"Till 1", "COM3", 4800, 1}, {"Till 2", "COM4", 19200, 2}}));
}

TEST_F(ScaleListFile, MissingFileIsAnEmptyListAndAnUnreadableOneIsRefused)
{
    ScaleList loaded;
    EXPECT_EQ(ScaleList::Load(path_, loaded), std::nullopt);
    EXPECT_TRUE(loaded.Entries().empty());
    std::filesystem::create_directory(path_);
    EXPECT_EQ(ScaleList::Load(path_, loaded), std::optional<std::string>("Scales.ini cannot be read"));
}

struct BadFile {
    const char* file;
    const char* reason;
};

class ScaleListBadFile : public ScaleListFile, public ::testing::WithParamInterface<BadFile> {};

TEST_P(ScaleListBadFile, IsRefusedWithTheSectionAndKey)
{
    Write(std::string("[Scale1]\r\nName=Good\r\nPort=COM1\r\nBaud=9600\r\nSeries=zud\r\n") + GetParam().file);
    ScaleList loaded;
    ASSERT_EQ(loaded.Add({"Earlier", "COM9", 9600, 0}), std::nullopt);
    EXPECT_EQ(ScaleList::Load(path_, loaded), std::optional<std::string>(GetParam().reason));
    EXPECT_TRUE(loaded.Entries().empty());
}

const std::string kLongName(101, 'n');
const std::string kLongNameFile = "[Scale2]\r\nName=" + kLongName + "\r\nPort=COM2\r\nBaud=9600\r\nSeries=zud\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, ScaleListBadFile,
    ::testing::Values(
        BadFile{"[Scale2]\r\nName=B\r\nBaud=9600\r\nSeries=zud\r\n", "Scales.ini [Scale2]: Port is missing"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=\r\nBaud=9600\r\nSeries=zud\r\n", "Scales.ini [Scale2]: Port is empty"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=COM2\r\nBaud=9600x\r\nSeries=zud\r\n",
                "Scales.ini [Scale2]: Baud \"9600x\" is not a number"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=COM2\r\nBaud=9601\r\nSeries=zud\r\n",
                "Scales.ini [Scale2]: Baud 9601 is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=COM2\r\nBaud=9600\r\nSeries=2\r\n",
                "Scales.ini [Scale2]: Series \"2\" is not zud, zev or rivav"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=com1\r\nBaud=9600\r\nSeries=zev\r\n",
                "Scales.ini [Scale2]: Port com1 is already in the list"},
        BadFile{"[Scale2]\r\nName=Good\r\nPort=COM2\r\nBaud=9600\r\nSeries=zev\r\n",
                "Scales.ini [Scale2]: Name is already taken by the scale on COM1"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=COM2\r\nBaud=9600\r\nSeries=zud\r\nTimeout=5\r\n",
                "Scales.ini [Scale2]: unknown key \"Timeout\" (a scale has Name, Port, Baud and Series)"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=COM2\r\nstray text\r\nBaud=9600\r\nSeries=zud\r\n",
                "Scales.ini [Scale2]: line 9 is neither a key nor a comment"},
        BadFile{"[Scale2]\r\nName=B\r\nPort=COM2\r\nport=COM3\r\nBaud=9600\r\nSeries=zud\r\n",
                "Scales.ini [Scale2]: port is given twice"},
        BadFile{"[scale1]\r\nName=B\r\nPort=COM2\r\nBaud=9600\r\nSeries=zud\r\n",
                "Scales.ini [scale1]: the section is given twice"},
        BadFile{"[Printer]\r\nName=B\r\n", "Scales.ini [Printer]: not a scale (sections are [Scale1], [Scale2], ...)"},
        BadFile{kLongNameFile.c_str(), "Scales.ini [Scale2]: Name is longer than 100 bytes"}));

TEST_F(ScaleListFile, TextBeforeTheFirstSectionIsRefused)
{
    Write("Port=COM1\r\n[Scale1]\r\nName=A\r\nPort=COM1\r\nBaud=9600\r\nSeries=zud\r\n");
    ScaleList loaded;
    EXPECT_EQ(ScaleList::Load(path_, loaded), std::optional<std::string>("Scales.ini: line 1 stands before the first section"));
}

struct EntryCase {
    ScaleEntry entry;
    const char* reason;
};

class ScaleListEntry : public ::testing::TestWithParam<EntryCase> {};

// Entries that would not read back as they were given are refused before they reach the file.
TEST_P(ScaleListEntry, AddRefusesWhatWouldNotReadBack)
{
    ScaleList list;
    EXPECT_EQ(list.Add(GetParam().entry), std::optional<std::string>(GetParam().reason));
    EXPECT_TRUE(list.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScaleListEntry,
    ::testing::Values(EntryCase{{"", "COM1", 9600, 0}, "Name is empty"},
                      EntryCase{{"Two\r\nlines", "COM1", 9600, 0}, "Name holds a line break"},
                      EntryCase{{" Till", "COM1", 9600, 0}, "Name begins or ends with a blank"},
                      EntryCase{{"\"Till\"", "COM1", 9600, 0}, "Name is enclosed in quotes"},
                      EntryCase{{"Till", "COM1\n[Scale9]", 9600, 0}, "Port holds a line break"},
                      EntryCase{{"Till", "COM1", 1200, 0}, "Baud 1200 is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200"},
                      EntryCase{{"Till", "COM1", 9600, 3}, "Series 3 is not zud, zev or rivav"},
                      EntryCase{{"Till", "COM1", 9600, -1}, "Series -1 is not zud, zev or rivav"}));

TEST(ScaleListEdit, RenameRemoveAndReplaceKeepPortsAndNamesUnique)
{
    ScaleList list;
    ASSERT_EQ(list.Add({"A", "COM1", 9600, 0}), std::nullopt);
    ASSERT_EQ(list.Add({"B", "rfc2217://host:4001", 9600, 1}), std::nullopt);
    EXPECT_EQ(list.Add({"C", "RFC2217://HOST:4001", 9600, 1}), std::optional<std::string>("Port RFC2217://HOST:4001 is already in the list"));

    EXPECT_EQ(list.Rename("COM1", "B"), std::optional<std::string>("Name is already taken by the scale on rfc2217://host:4001"));
    EXPECT_EQ(list.Rename("COM7", "Z"), std::optional<std::string>("no scale on port COM7"));
    EXPECT_EQ(list.Rename("com1", "A"), std::nullopt);  // its own name again
    EXPECT_EQ(list.Rename("com1", kDeli), std::nullopt);
    EXPECT_EQ(list.Replace("COM1", {kDeli, "rfc2217://host:4001", 9600, 0}),
              std::optional<std::string>("Port rfc2217://host:4001 is already in the list"));
    EXPECT_EQ(list.Replace("COM1", {kDeli, "COM2", 4800, 1}), std::nullopt);

    ASSERT_NE(list.FindByPort("com2"), nullptr);
    EXPECT_EQ(*list.FindByPort("com2"), (ScaleEntry{kDeli, "COM2", 4800, 1}));
    EXPECT_EQ(list.FindByPort("COM1"), nullptr);
    EXPECT_EQ(list.Remove("COM1"), std::optional<std::string>("no scale on port COM1"));
    EXPECT_EQ(list.Remove("COM2"), std::nullopt);
    EXPECT_EQ(list.Entries(), (std::vector<ScaleEntry>{{"B", "rfc2217://host:4001", 9600, 1}}));
}

} // namespace
