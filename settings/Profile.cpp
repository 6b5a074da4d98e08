#include "settings/Profile.h"

#include "settings/DurableFile.h"
#include "settings/LeadingInteger.h"

#include <optional>
#include <vector>

namespace Profile {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

// The file's lines without their line ends; false when the file exists but cannot be read whole.
bool readLines(const std::string& path, std::vector<std::string>& lines)
{
    std::string bytes;
    const bool ok = DurableFile::ReadAll(path, bytes) != DurableFile::ReadStatus::Failed;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return ok;
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    readLines(path, lines);
    return lines;
}

// "[name]" gives name; anything else is no section header.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line)
{
    auto text = trimmed(line);
    if (text.empty() || text.front() == ';')
        return std::nullopt;
    auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1))};
}

// Index range [begin, end) of the lines of the first section with this name; only the first
// section of a repeated name counts.
struct SectionRange {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionRange> findSection(const std::vector<std::string>& lines, std::string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (!name || !sameName(*name, trimmed(section)))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end]))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<std::string>& lines, SectionRange range,
                                   std::string_view key)
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        auto entry = keyLine(lines[i]);
        if (entry && sameName(entry->key, trimmed(key)))
            return i;
    }
    return std::nullopt;
}

// The raw value of the key, or nothing when the file, section or key is missing.
std::optional<std::string> lookup(const std::string& path, std::string_view section, std::string_view key)
{
    auto lines = readLines(path);
    auto range = findSection(lines, section);
    if (!range)
        return std::nullopt;
    auto index = findKey(lines, *range, key);
    if (!index)
        return std::nullopt;
    return std::string(keyLine(lines[*index])->value);
}

std::string_view withoutOuterQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& line : lines)
        bytes += line + "\r\n";
    return DurableFile::Replace(path, bytes);
}

} // namespace

std::string ReadText(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view fallback)
{
    auto value = lookup(path, section, key);
    std::string text = value ? std::string(withoutOuterQuotes(*value)) : std::string(fallback);
    if (text.size() > kMaxTextBytes)
        text.resize(kMaxTextBytes);
    return text;
}

int ReadInt(const std::string& path, std::string_view section, std::string_view key, int fallback)
{
    auto value = lookup(path, section, key);
    if (!value || value->empty())
        return fallback;
    return LeadingInteger::Wrapped(*value, true);
}

std::vector<std::string> SectionNames(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& line : readLines(path)) {
        if (auto name = sectionName(line))
            names.emplace_back(*name);
    }
    return names;
}

std::vector<std::string> KeyNames(const std::string& path, std::string_view section)
{
    std::vector<std::string> keys;
    const auto lines = readLines(path);
    const auto range = findSection(lines, section);
    if (!range)
        return keys;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (const auto entry = keyLine(lines[i]))
            keys.emplace_back(entry->key);
    }
    return keys;
}

bool WriteText(const std::string& path, std::string_view section, std::string_view key,
               std::string_view value)
{
    if (!IsWritableText(section) || !IsWritableText(key) || !IsWritableText(value))
        return false;
    std::vector<std::string> lines;
    if (!readLines(path, lines))
        return false;
    auto range = findSection(lines, section);
    std::string cleanKey(trimmed(key));
    if (!range) {
        lines.push_back("[" + std::string(trimmed(section)) + "]");
        lines.push_back(cleanKey + "=" + std::string(value));
        return writeLines(path, lines);
    }
    if (auto index = findKey(lines, *range, key)) {
        // The key keeps the spelling it has in the file.
        std::string spelling(keyLine(lines[*index])->key);
        lines[*index] = spelling + "=" + std::string(value);
        return writeLines(path, lines);
    }
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && trimmed(lines[insertAt - 1]).empty())
        --insertAt;
    lines.insert(lines.begin() + std::ptrdiff_t(insertAt), cleanKey + "=" + std::string(value));
    return writeLines(path, lines);
}

} // namespace Profile
