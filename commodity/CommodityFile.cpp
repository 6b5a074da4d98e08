#include "commodity/CommodityFile.h"

#include "app/AppPaths.h"
#include "commodity/CommodityTable.h"
#include "commodity/GbkText.h"
#include "link/ScaleCommand.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Index of the next separator at or after `from` that starts on a character boundary, or npos.
std::size_t findSeparator(std::string_view text, std::string_view separator, std::size_t from)
{
    if (separator.empty())
        return std::string_view::npos;
    std::size_t at = 0;
    while (at < text.size()) {
        if (at >= from && text.compare(at, separator.size(), separator) == 0)
            return at;
        at += GbkText::CharacterLength(text, at);
    }
    return std::string_view::npos;
}

// The C library's atoi, without its undefined behaviour on overflow.
int toNumber(std::string_view text)
{
    std::size_t at = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (at < text.size() && isSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX)
            value = INT_MAX + 1LL;
        ++at;
    }
    value = negative ? -value : value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

std::string trimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

void takeLine(CommodityTable& table, std::string_view line)
{
    std::vector<std::string> fields;
    SplitFields(line, ",", fields);
    if (fields.size() != 3 && fields.size() != 4)
        return;
    const int number = toNumber(fields[0]);
    if (number < 1 || number > CommodityTable::kRows)
        return;
    const int row = number - 1;
    table.SetCell(row, CommodityTable::Code, trimSpaces(fields[1]));
    table.SetCell(row, CommodityTable::Name, trimSpaces(fields[2]));
    if (fields.size() == 4)
        table.SetCell(row, CommodityTable::Price, trimSpaces(fields[3]));
}

bool readWholeFile(const std::string& path, std::string& bytes)
{
    // Opened for reading only: a read-only commodity file still loads.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    // A read error keeps what was read before it.
    std::fclose(file);
    return true;
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += std::size_t(wrote);
    }
    return true;
}

// Writes `bytes` to `path` through a temporary file beside it, renamed over the old file only once
// the new one is complete and on disk.
bool replaceFile(const std::string& path, const std::string& bytes)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(path);
    // Replace what a link points at, not the link.
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::weakly_canonical(target, error);
        if (error)
            return false;
        target = resolved;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A file its owner made read-only is not replaced.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return false;

    static std::atomic<unsigned> counter{0};
    const fs::path temporary = target.parent_path()
        / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "."
           + std::to_string(counter.fetch_add(1)) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes);
    if (ok && exists)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok)
        ok = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (ok)
        ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const std::string directory = target.parent_path().empty() ? "." : target.parent_path().string();
    const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace

void SplitFields(std::string_view text, std::string_view separator, std::vector<std::string>& list)
{
    const std::size_t length = text.size();
    std::size_t pos = 0;
    while (pos != length) {
        const std::size_t start = pos == 0 ? 0 : pos + separator.size();
        const std::size_t next = findSeparator(text, separator, pos + 1);
        pos = next == std::string_view::npos ? length : next;
        // Overlapping separators ("aa" in "aaa") give an empty piece rather than a negative one.
        list.emplace_back(start < pos ? text.substr(start, pos - start) : std::string_view());
    }
}

std::string CommodityFilePath(int series)
{
    switch (series) {
    case SeriesZud:
        return AppPaths::InApplicationDirectory("ZUD.txt");
    case SeriesZev:
        return AppPaths::InApplicationDirectory("ZEV.txt");
    default:
        return {};
    }
}

void ParseCommodityText(CommodityTable& table, std::string_view bytes)
{
    table.ClearEntries();
    // Ctrl+Z ends a file read in text mode.
    const std::size_t end = bytes.find('\x1A');
    if (end != std::string_view::npos)
        bytes = bytes.substr(0, end);
    std::string line;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t newline = bytes.find('\n', at);
        const bool terminated = newline != std::string_view::npos;
        if (!terminated)
            newline = bytes.size();
        std::string_view raw = bytes.substr(at, newline - at);
        // CR LF reads as LF; a CR elsewhere stays.
        if (terminated && !raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        takeLine(table, raw);
        at = newline + 1;
    }
}

std::string FormatCommodityText(const CommodityTable& table)
{
    std::string bytes;
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        const std::string& code = table.Cell(row, CommodityTable::Code);
        if (code.empty())
            continue;
        bytes += table.Cell(row, CommodityTable::Number);
        bytes += ',';
        bytes += code;
        bytes += ',';
        bytes += table.Cell(row, CommodityTable::Name);
        bytes += ',';
        bytes += table.Cell(row, CommodityTable::Price);
        bytes += "\r\n";
    }
    return bytes;
}

void LoadCommodityFile(CommodityTable& table, int series)
{
    table.ClearEntries();
    const std::string path = CommodityFilePath(series);
    if (path.empty())
        return;
    std::string bytes;
    if (!readWholeFile(path, bytes))
        return;
    ParseCommodityText(table, bytes);
}

bool SaveCommodityFile(const CommodityTable& table, int series)
{
    const std::string path = CommodityFilePath(series);
    if (path.empty())
        return true;
    return replaceFile(path, FormatCommodityText(table));
}
