#include "settings/ScaleList.h"

#include "settings/DurableFile.h"
#include "settings/Profile.h"

#include <algorithm>
#include <iterator>

namespace {

const char* const kKeys[] = {"Name", "Port", "Baud", "Series"};

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Why a name or port would not read back as written, or nothing.
std::optional<std::string> TextProblem(std::string_view key, const std::string& text)
{
    const std::string what(key);
    if (text.empty())
        return what + " is empty";
    if (text.size() > ScaleList::kMaxTextBytes)
        return what + " is longer than " + std::to_string(ScaleList::kMaxTextBytes) + " bytes";
    if (!Profile::IsWritableText(text) || text.find('\0') != std::string::npos)
        return what + " holds a line break";
    if (IsBlank(text.front()) || IsBlank(text.back()))
        return what + " begins or ends with a blank";
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        return what + " is enclosed in quotes";
    return std::nullopt;
}

bool IsScaleSection(std::string_view section)
{
    constexpr std::string_view kPrefix = "Scale";
    if (section.size() <= kPrefix.size() || !SameIgnoringCase(section.substr(0, kPrefix.size()), kPrefix))
        return false;
    const auto number = section.substr(kPrefix.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The first line the profile functions would pass over unseen: text before the first section, or a
// line of a section that is no key (no "="), no comment and not blank.
std::optional<std::string> UnseenLine(const std::string& bytes, const std::string& file)
{
    std::optional<std::string> section;
    std::size_t at = 0;
    for (int number = 1; at < bytes.size(); ++number) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        std::string_view line(bytes.data() + at, end - at);
        at = end + 1;
        const auto first = line.find_first_not_of(" \t\r\v\f");
        if (first == std::string_view::npos || line[first] == ';')
            continue;
        line.remove_prefix(first);
        if (line.front() == '[' && line.find(']') != std::string_view::npos) {
            auto name = line.substr(1, line.find(']') - 1);
            name.remove_prefix(std::min(name.size(), name.find_first_not_of(" \t")));
            section = std::string(name.substr(0, name.find_last_not_of(" \t") + 1));
            continue;
        }
        if (!section)
            return file + ": line " + std::to_string(number) + " stands before the first section";
        if (line.find('=') == std::string_view::npos)
            return file + " [" + *section + "]: line " + std::to_string(number) + " is neither a key nor a comment";
    }
    return std::nullopt;
}

std::optional<int> ParseBaud(const std::string& text)
{
    if (text.empty() || text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(text);
}

std::optional<int> ParseSeries(const std::string& text)
{
    for (int series = 0; series < int(std::size(ScaleList::kSeriesNames)); ++series) {
        if (SameIgnoringCase(text, ScaleList::kSeriesNames[series]))
            return series;
    }
    return std::nullopt;
}

// Why the section's keys are not exactly Name, Port, Baud and Series once each, or nothing.
std::optional<std::string> KeysProblem(const std::vector<std::string>& keys)
{
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (std::none_of(std::begin(kKeys), std::end(kKeys), [&](const char* known) { return SameIgnoringCase(keys[i], known); }))
            return "unknown key \"" + keys[i] + "\" (a scale has Name, Port, Baud and Series)";
        for (std::size_t j = 0; j < i; ++j) {
            if (SameIgnoringCase(keys[i], keys[j]))
                return keys[i] + " is given twice";
        }
    }
    for (const char* key : kKeys) {
        if (std::none_of(keys.begin(), keys.end(), [&](const std::string& given) { return SameIgnoringCase(given, key); }))
            return std::string(key) + " is missing";
    }
    return std::nullopt;
}

// The section's entry, or why it cannot be taken.
std::optional<std::string> ReadEntry(const std::string& path, const std::string& section, ScaleEntry& entry)
{
    if (auto problem = KeysProblem(Profile::KeyNames(path, section)))
        return problem;
    entry.name = Profile::ReadText(path, section, "Name", "");
    entry.port = Profile::ReadText(path, section, "Port", "");
    const std::string baud = Profile::ReadText(path, section, "Baud", "");
    const auto rate = ParseBaud(baud);
    if (!rate)
        return "Baud \"" + baud + "\" is not a number";
    entry.baud = *rate;
    const std::string series = Profile::ReadText(path, section, "Series", "");
    const auto number = ParseSeries(series);
    if (!number)
        return "Series \"" + series + "\" is not zud, zev or rivav";
    entry.series = *number;
    return ScaleList::Check(entry);
}

} // namespace

std::optional<std::string> ScaleList::Load(const std::string& path, ScaleList& list)
{
    list.entries_.clear();
    const std::string file = path.substr(path.find_last_of("/\\") + 1);
    std::string bytes;
    const auto status = DurableFile::ReadAll(path, bytes);
    if (status == DurableFile::ReadStatus::Missing)
        return std::nullopt;
    if (status == DurableFile::ReadStatus::Failed)
        return file + " cannot be read";
    if (auto unseen = UnseenLine(bytes, file))
        return unseen;
    ScaleList loaded;
    std::vector<std::string> sections;
    for (const auto& section : Profile::SectionNames(path)) {
        const std::string where = file + " [" + section + "]: ";
        if (!IsScaleSection(section))
            return where + "not a scale (sections are [Scale1], [Scale2], ...)";
        if (std::any_of(sections.begin(), sections.end(), [&](const std::string& seen) { return SameIgnoringCase(seen, section); }))
            return where + "the section is given twice";
        sections.push_back(section);
        ScaleEntry entry;
        auto problem = ReadEntry(path, section, entry);
        if (!problem)
            problem = loaded.Add(entry);
        if (problem)
            return where + *problem;
    }
    list = std::move(loaded);
    return std::nullopt;
}

bool ScaleList::Save(const std::string& path) const
{
    std::string bytes;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const ScaleEntry& entry = entries_[i];
        if (i > 0)
            bytes += "\r\n";
        bytes += "[Scale" + std::to_string(i + 1) + "]\r\n";
        bytes += "Name=" + entry.name + "\r\n";
        bytes += "Port=" + entry.port + "\r\n";
        bytes += "Baud=" + std::to_string(entry.baud) + "\r\n";
        bytes += "Series=" + SeriesName(entry.series) + "\r\n";
    }
    return DurableFile::Replace(path, bytes);
}

std::optional<std::string> ScaleList::Check(const ScaleEntry& entry)
{
    if (auto problem = TextProblem("Name", entry.name))
        return problem;
    if (auto problem = TextProblem("Port", entry.port))
        return problem;
    if (std::find(std::begin(kBaudRates), std::end(kBaudRates), entry.baud) == std::end(kBaudRates))
        return "Baud " + std::to_string(entry.baud) + " is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200";
    if (SeriesName(entry.series).empty())
        return "Series " + std::to_string(entry.series) + " is not zud, zev or rivav";
    return std::nullopt;
}

const ScaleEntry* ScaleList::FindByPort(std::string_view port) const
{
    const std::size_t index = IndexOf(port);
    return index < entries_.size() ? &entries_[index] : nullptr;
}

std::optional<std::string> ScaleList::Add(const ScaleEntry& entry)
{
    if (auto problem = Conflict(entry, entries_.size()))
        return problem;
    entries_.push_back(entry);
    return std::nullopt;
}

std::optional<std::string> ScaleList::Remove(std::string_view port)
{
    const std::size_t index = IndexOf(port);
    if (index >= entries_.size())
        return "no scale on port " + std::string(port);
    entries_.erase(entries_.begin() + std::ptrdiff_t(index));
    return std::nullopt;
}

std::optional<std::string> ScaleList::Rename(std::string_view port, const std::string& name)
{
    const std::size_t index = IndexOf(port);
    if (index >= entries_.size())
        return "no scale on port " + std::string(port);
    ScaleEntry renamed = entries_[index];
    renamed.name = name;
    return Replace(port, renamed);
}

std::optional<std::string> ScaleList::Replace(std::string_view port, const ScaleEntry& entry)
{
    const std::size_t index = IndexOf(port);
    if (index >= entries_.size())
        return "no scale on port " + std::string(port);
    if (auto problem = Conflict(entry, index))
        return problem;
    entries_[index] = entry;
    return std::nullopt;
}

std::string ScaleList::SeriesName(int series)
{
    return series >= 0 && series < int(std::size(kSeriesNames)) ? kSeriesNames[series] : "";
}

std::optional<std::string> ScaleList::Conflict(const ScaleEntry& entry, std::size_t index) const
{
    if (auto problem = Check(entry))
        return problem;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (i == index)
            continue;
        if (SameIgnoringCase(entries_[i].port, entry.port))
            return "Port " + entry.port + " is already in the list";
        if (entries_[i].name == entry.name)
            return "Name is already taken by the scale on " + entries_[i].port;
    }
    return std::nullopt;
}

std::size_t ScaleList::IndexOf(std::string_view port) const
{
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const ScaleEntry& entry) { return SameIgnoringCase(entry.port, port); });
    return std::size_t(found - entries_.begin());
}
