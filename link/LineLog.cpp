#include "link/LineLog.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace LineLog {
namespace {

// Two upper-case hex digits of the byte.
void AppendHex(std::string& text, unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

} // namespace

std::size_t Ring::Add(Entry entry)
{
    std::size_t dropped = 0;
    while (capacity_ > 0 && entries_.size() >= capacity_) {
        entries_.pop_front();
        ++dropped;
    }
    if (capacity_ > 0)
        entries_.push_back(std::move(entry));
    return dropped;
}

std::vector<Entry> Ring::TakeAll()
{
    std::vector<Entry> out(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()));
    entries_.clear();
    return out;
}

void Inbox::Record(Direction direction, std::string_view bytes)
{
    Entry entry{std::chrono::system_clock::now(), direction, std::string(bytes)};
    std::lock_guard<std::mutex> lock(mutex_);
    ring_.Add(std::move(entry));
}

std::vector<Entry> Inbox::Take()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ring_.TakeAll();
}

std::string TimeText(std::chrono::system_clock::time_point time)
{
    const auto sinceEpoch = time.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds).count();
    const std::time_t whole = std::time_t(seconds.count());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &whole);
#else
    localtime_r(&whole, &local);
#endif
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec, int(millis));
    return text;
}

std::string HexText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (!text.empty())
            text += ' ';
        AppendHex(text, static_cast<unsigned char>(c));
    }
    return text;
}

std::string EscapedText(std::string_view bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        // A GBK character: lead 0x81..0xFE, trail 0x40..0xFE without 0x7F.
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
                text += bytes.substr(i, 2);
                ++i;
                continue;
            }
        }
        switch (b) {
        case '\r': text += "\\r"; continue;
        case '\n': text += "\\n"; continue;
        case '\t': text += "\\t"; continue;
        case '\\': text += "\\\\"; continue;
        default: break;
        }
        if (b >= 0x20 && b < 0x7F) {
            text += char(b);
        } else {
            text += "\\x";
            AppendHex(text, b);
        }
    }
    return text;
}

std::string FormatEntry(const Entry& entry, std::string_view directionWord)
{
    std::string line = TimeText(entry.time);
    line += '\t';
    line += directionWord;
    line += '\t';
    line += HexText(entry.bytes);
    line += '\t';
    line += EscapedText(entry.bytes);
    return line;
}

bool Save(const std::string& path, const Ring& ring, std::string_view sentWord, std::string_view receivedWord)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    for (std::size_t i = 0; i < ring.Size(); ++i) {
        const Entry& entry = ring.At(i);
        const std::string_view word = entry.direction == Direction::Written ? sentWord
            : entry.direction == Direction::Note                            ? std::string_view("note")
                                                                            : receivedWord;
        file << FormatEntry(entry, word) << "\r\n";
    }
    file.flush();
    return bool(file);
}

} // namespace LineLog
