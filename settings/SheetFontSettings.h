#pragma once

#include <string>
#include <string_view>

// The font of the commodity names on the keyboard sheets, as kept in section "Font" of the
// settings file, face name in GBK bytes.
struct SheetFont {
    std::string faceName;
    int charset = 1;   // character set number, 0..255; 1: whatever the face offers
    int height = -10;  // negative: character height, positive: cell height
    int width = 0;     // 0: chosen by the font mapper
    int weight = 0;    // 0: default, 400 normal, 700 bold
    int italic = 0;    // 0..255, non-zero for italic
    friend bool operator==(const SheetFont&, const SheetFont&) = default;
};

namespace SheetFontSettings {

// Default face names when "Name" is missing: the sheet prints in SimSun, the font setup opens on SimHei.
inline const std::string kRendererDefaultFace = "\xcb\xce\xcc\xe5";  // 宋体
inline const std::string kSetupDefaultFace = "\xba\xda\xcc\xe5";     // 黑体
// A face name holds at most 31 bytes.
inline constexpr std::size_t kMaxFaceNameBytes = 31;

// Reads the six keys with their defaults; "Charset" and "Italic" keep their low byte: both are
// stored one byte wide.
SheetFont Read(const std::string& settingsPath, std::string_view defaultFace);

// Writes all six keys in the order Name, Charset, Height, Width, Weight, Italic. False when a write fails.
bool Write(const std::string& settingsPath, const SheetFont& font);

} // namespace SheetFontSettings
