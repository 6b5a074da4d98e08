#include "settings/SheetFontSettings.h"

#include "commodity/GbkText.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

class SheetFontSettingsTest : public testing::Test {
protected:
    void WriteFile(const std::string& text) const { folder_.Write("Option.ini", text); }
    std::string ReadFile() const { return folder_.Read("Option.ini"); }

    ScratchFolder folder_{"sheet-font"};
    const std::string path_ = folder_.File("Option.ini").string();
};

TEST_F(SheetFontSettingsTest, MissingKeysGiveTheCallersDefaultFace)
{
    const SheetFont printed = SheetFontSettings::Read(path_, SheetFontSettings::kRendererDefaultFace);
    EXPECT_EQ(printed, (SheetFont{"\xcb\xce\xcc\xe5", 1, -10, 0, 0, 0}));
    WriteFile("[System]\r\nPort=2\r\n");
    const SheetFont offered = SheetFontSettings::Read(path_, SheetFontSettings::kSetupDefaultFace);
    EXPECT_EQ(offered, (SheetFont{"\xba\xda\xcc\xe5", 1, -10, 0, 0, 0}));
}

TEST_F(SheetFontSettingsTest, StoredKeysAreReadWithByteFieldsCut)
{
    WriteFile("[Font]\r\nName=Arial\r\nCharset=390\r\nHeight=-13\r\nWidth=7\r\nWeight=700\r\nItalic=257\r\n");
    const SheetFont font = SheetFontSettings::Read(path_, SheetFontSettings::kRendererDefaultFace);
    EXPECT_EQ(font, (SheetFont{"Arial", 134, -13, 7, 700, 1}));
}

TEST_F(SheetFontSettingsTest, WriteStoresAllSixKeysInOrder)
{
    WriteFile("[System]\r\nPort=1\r\n");
    ASSERT_TRUE(SheetFontSettings::Write(path_, SheetFont{"\xba\xda\xcc\xe5", 1, -13, 0, 700, 1}));
    EXPECT_EQ(ReadFile(), "[System]\r\nPort=1\r\n[Font]\r\nName=\xba\xda\xcc\xe5\r\nCharset=1\r\nHeight=-13\r\n"
                          "Width=0\r\nWeight=700\r\nItalic=1\r\n");
    EXPECT_EQ(SheetFontSettings::Read(path_, "x"), (SheetFont{"\xba\xda\xcc\xe5", 1, -13, 0, 700, 1}));
}

TEST_F(SheetFontSettingsTest, WriteStoresUnsignedBytes)
{
    ASSERT_TRUE(SheetFontSettings::Write(path_, SheetFont{"Face", -122, 12, 0, 400, 255}));
    const SheetFont font = SheetFontSettings::Read(path_, "x");
    EXPECT_EQ(font.charset, 134);
    EXPECT_EQ(font.italic, 255);
    EXPECT_NE(ReadFile().find("Charset=134\r\n"), std::string::npos);
}

std::string Cut(std::string_view name, std::size_t maxBytes)
{
    return std::string(GbkText::CutToBytes(name, maxBytes));
}

TEST(SheetFontFaceName, CutKeepsDoubleByteCharactersWhole)
{
    EXPECT_EQ(Cut("Arial", 31), "Arial");
    EXPECT_EQ(Cut(std::string(40, 'a'), 31), std::string(31, 'a'));
    // "a" + 16 Chinese characters = 33 bytes: the 16th would end at byte 33, so 15 remain.
    std::string name = "a";
    for (int i = 0; i < 16; ++i)
        name += "\xcb\xce";
    const std::string cut = Cut(name, 31);
    EXPECT_EQ(cut.size(), 31u);
    EXPECT_EQ(cut, name.substr(0, 31));
    EXPECT_EQ(Cut("a\xcb\xce", 2), "a");
}

} // namespace
