#pragma once

#include <string>
#include <string_view>
#include <vector>

// The settings file (Option.ini) with the semantics of the classic private-profile functions:
// no cache, every call reads or rewrites the file at the given path. Section and key names compare
// without regard to ASCII case; values are bytes (GBK text) passed through unchanged.
namespace Profile {

// Texts read are cut to this many bytes, as a 128-byte buffer with its terminator holds.
inline constexpr std::size_t kMaxTextBytes = 127;

// The value with white space and one pair of surrounding quotes removed, at most kMaxTextBytes;
// `fallback` when the file, section or key is missing. An empty value reads as empty.
std::string ReadText(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view fallback);

// The leading integer of the value (sign and decimal digits, wrapping modulo 2^32);
// `fallback` when the file, section or key is missing or the value is empty.
int ReadInt(const std::string& path, std::string_view section, std::string_view key, int fallback);

// ReadText converted like the C library's atof.
double ReadReal(const std::string& path, std::string_view section, std::string_view key,
                std::string_view fallback);

// The names of the file's sections, in file order, as written (a repeated name appears again); none
// when the file is missing.
std::vector<std::string> SectionNames(const std::string& path);

// The keys of the first section of that name, in file order, as written; lines without "=" are no
// keys and are not listed.
std::vector<std::string> KeyNames(const std::string& path, std::string_view section);

// True when `text` may be written as a section name, key or value: a line break would end the line
// and let the rest of the text stand as keys or sections of its own. Every backend applies this.
inline bool IsWritableText(std::string_view text)
{
    return text.find_first_of("\r\n") == std::string_view::npos;
}

// Sets the key's value, creating the file and the section when missing. Every other line keeps its
// place; lines are written with CR LF; the file is replaced as DurableFile::Replace does. On Windows
// the system's private-profile functions write it instead, so every program there sees the file
// alike; they promise less: the file is rewritten where it stands, and a save cut short (a crash,
// a full disk) may leave it partly written. Returns
// false, writing nothing, when the section, key or value is not IsWritableText, when the existing
// file cannot be read (writing would lose its other lines) or when the file cannot be written.
bool WriteText(const std::string& path, std::string_view section, std::string_view key,
               std::string_view value);
bool WriteInt(const std::string& path, std::string_view section, std::string_view key, int value);
// Written with "%f": six decimals.
bool WriteReal(const std::string& path, std::string_view section, std::string_view key, double value);

} // namespace Profile
