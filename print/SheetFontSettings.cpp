#include "print/SheetFontSettings.h"

#include "app/SettingsProfile.h"

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

std::string CutGbk(std::string_view name, std::size_t maxBytes)
{
    std::size_t end = 0;
    while (end < name.size()) {
        // A lead byte 0x81..0xFE starts a two-byte character.
        const auto byte = static_cast<unsigned char>(name[end]);
        const std::size_t length = (byte >= 0x81 && byte <= 0xFE && end + 1 < name.size()) ? 2 : 1;
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return std::string(name.substr(0, end));
}

} // namespace SheetFontSettings
