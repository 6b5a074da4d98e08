#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One scale of the shop's list.
struct ScaleEntry {
    std::string name;  // GBK bytes, as the file holds them; not empty, unique in the list
    std::string port;  // a serial port (COM3, /dev/ttyUSB0) or rfc2217://HOST:PORT or socket://HOST:PORT
    int baud = 9600;   // one of ScaleList::kBaudRates
    // The series as link/ScaleSeries.h numbers it (0 zud, 1 zev, 2 rivav; the main dialog's Model
    // list): settings/ sits below link/, so the number stands in for the enum here.
    int series = 0;
    friend bool operator==(const ScaleEntry&, const ScaleEntry&) = default;
};

// The shop's scales, kept in the data folder as Scales.ini with the settings file's private-profile
// format. One section per scale, [Scale1], [Scale2], ... in list order, each with exactly the keys
// Name, Port, Baud and Series, e.g.
//     [Scale1]
//     Name=Deli counter
//     Port=rfc2217://10.0.0.7:4001
//     Baud=9600
//     Series=zud
// Series is the command line's name of the series (zud, zev, rivav). Loading takes the sections in
// file order under any names Scale<number>; saving numbers them again from 1. No two scales share a
// port (a port opens once; compared without regard to ASCII case) or a name (compared byte for byte).
// A list only ever holds entries that pass Check and these two rules.
class ScaleList {
public:
    static constexpr const char* kFileName = "Scales.ini";
    static constexpr int kBaudRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
    static constexpr const char* kSeriesNames[] = {"zud", "zev", "rivav"};
    // Longest name or port, in bytes; the profile functions read back at most 127, so a longer
    // value in the file shows as too long instead of being cut.
    static constexpr std::size_t kMaxTextBytes = 100;

    // Reads the list at `path` into `list` (emptied first). A missing file is an empty list. Nothing
    // when all was taken; otherwise the reason naming the file (by the last part of `path`), section
    // and key (or line), and `list` stays empty: a value that is missing, unreadable or repeated, an
    // unknown key or section, a stray line, is never guessed, dropped or passed over.
    static std::optional<std::string> Load(const std::string& path, ScaleList& list);

    // Writes the whole list to `path`, replacing the file at once as DurableFile::Replace does;
    // an empty list leaves an empty file. False when it could not be written.
    bool Save(const std::string& path) const;

    // Why the entry cannot be kept (name or port empty, too long, with a line break, blanks or quotes
    // around it; baud or series not known), or nothing. Says nothing of the other entries.
    static std::optional<std::string> Check(const ScaleEntry& entry);

    const std::vector<ScaleEntry>& Entries() const { return entries_; }
    // The entry on this port (compared as the uniqueness rule does), or null.
    const ScaleEntry* FindByPort(std::string_view port) const;

    // Reasons are English sentences; one that quotes the file's text (a Baud or Series value, a key)
    // carries its bytes as they are, GBK. Each of these returns why nothing was changed, or nothing
    // once changed.
    // Appends the entry at the end.
    std::optional<std::string> Add(const ScaleEntry& entry);
    // Takes the scale on `port` out of the list.
    std::optional<std::string> Remove(std::string_view port);
    // Gives the scale on `port` a new name.
    std::optional<std::string> Rename(std::string_view port, const std::string& name);
    // Replaces the scale on `port` with `entry` in its place (its port may change too).
    std::optional<std::string> Replace(std::string_view port, const ScaleEntry& entry);

    // The series' name as the file stores it; empty for a number out of range.
    static std::string SeriesName(int series);

private:
    // Why `entry` cannot stand at `index` (entries_.size() for a new one) beside the others.
    std::optional<std::string> Conflict(const ScaleEntry& entry, std::size_t index) const;
    std::size_t IndexOf(std::string_view port) const;

    std::vector<ScaleEntry> entries_;
};
