#include "settings/SheetFontSettings.h"

#include "settings/Profile.h"

namespace SheetFontSettings {
namespace {
constexpr std::string_view kSection = "Font";
int LowByte(int value) { return value & 0xFF; }
} // namespace

SheetFont Read(const std::string& settingsPath, std::string_view defaultFace)
{
    SheetFont font;
    font.faceName = Profile::ReadText(settingsPath, kSection, "Name", defaultFace);
    font.charset = LowByte(Profile::ReadInt(settingsPath, kSection, "Charset", 1));
    font.height = Profile::ReadInt(settingsPath, kSection, "Height", -10);
    font.width = Profile::ReadInt(settingsPath, kSection, "Width", 0);
    font.weight = Profile::ReadInt(settingsPath, kSection, "Weight", 0);
    font.italic = LowByte(Profile::ReadInt(settingsPath, kSection, "Italic", 0));
    return font;
}

bool Write(const std::string& settingsPath, const SheetFont& font)
{
    bool ok = Profile::WriteText(settingsPath, kSection, "Name", font.faceName);
    ok = Profile::WriteInt(settingsPath, kSection, "Charset", LowByte(font.charset)) && ok;
    ok = Profile::WriteInt(settingsPath, kSection, "Height", font.height) && ok;
    ok = Profile::WriteInt(settingsPath, kSection, "Width", font.width) && ok;
    ok = Profile::WriteInt(settingsPath, kSection, "Weight", font.weight) && ok;
    ok = Profile::WriteInt(settingsPath, kSection, "Italic", LowByte(font.italic)) && ok;
    return ok;
}

} // namespace SheetFontSettings
