#include "commodity/CsvText.h"

#include "commodity/GbkCodec.h"

#include <algorithm>

namespace CsvText {
namespace {

using CommodityCsv::Encoding;
using CommodityCsv::FileProblem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The line (from 1) that byte `at` of the text stands on; CR LF, LF and CR each end a line.
int LineAt(std::string_view text, std::size_t at)
{
    int line = 1;
    for (std::size_t i = 0; i < at && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

// Where the bytes stop being UTF-8, or npos.
std::size_t FirstNonUtf8(std::string_view bytes)
{
    char32_t c = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = GbkCodec::DecodeUtf8(bytes, at, c);
        if (length == 0)
            return at;
        at += length;
    }
    return std::string_view::npos;
}

// UTF-8 text with bytes in it that are not: Chinese in UTF-8 takes three bytes a character, which
// GBK text forms only now and then, while it leaves about every other byte without UTF-8 sense.
bool LooksLikeDamagedUtf8(std::string_view bytes)
{
    int wide = 0, bad = 0;
    int wideInLine = 0;
    bool lineBad = false;
    bool utf8Line = false;  // a whole line of UTF-8 with two or more such characters
    char32_t c = 0;
    for (std::size_t at = 0; at <= bytes.size();) {
        if (at == bytes.size() || bytes[at] == '\n') {
            utf8Line = utf8Line || (!lineBad && wideInLine >= 2);
            wideInLine = 0;
            lineBad = false;
            ++at;
            continue;
        }
        const std::size_t length = GbkCodec::DecodeUtf8(bytes, at, c);
        if (length == 0) {
            ++bad;
            lineBad = true;
            ++at;
            continue;
        }
        if (length >= 3) {
            ++wide;
            ++wideInLine;
        }
        at += length;
    }
    return utf8Line || wide > bad;
}

bool HasNonAscii(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// GBK text as UTF-8; false, with `decoded` naming the line, when a byte forms no GBK character.
bool DecodeGbk(std::string_view bytes, Decoded& decoded)
{
    decoded.encoding = Encoding::Gbk;
    decoded.text = GbkCodec::GbkToUtf8(bytes);
    // GBK has no U+FFFD of its own: every one is a byte it could not read.
    const std::size_t bad = decoded.text.find(kReplacement);
    if (bad == std::string::npos)
        return true;
    decoded.problem = FileProblem::NotText;
    decoded.line = LineAt(decoded.text, bad);
    decoded.text.clear();
    return false;
}

} // namespace

Decoded Decode(std::string_view bytes, std::optional<Encoding> wanted)
{
    Decoded decoded;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        decoded.problem = FileProblem::Utf16;
        return decoded;
    }
    const bool bom = bytes.substr(0, kBom.size()) == kBom;
    if (wanted == Encoding::Gbk) {
        DecodeGbk(bytes, decoded);
        return decoded;
    }
    const std::string_view text = bom ? bytes.substr(kBom.size()) : bytes;
    const std::size_t bad = FirstNonUtf8(text);
    if (bad == std::string_view::npos) {
        decoded.encoding = bom ? Encoding::Utf8WithBom : Encoding::Utf8;
        decoded.text = text;
        if (!wanted && !bom && HasNonAscii(text)) {
            Decoded other;
            decoded.bothReadings = DecodeGbk(text, other);
        }
        return decoded;
    }
    if (wanted || bom || LooksLikeDamagedUtf8(text)) {
        decoded.encoding = bom ? Encoding::Utf8WithBom : Encoding::Utf8;
        decoded.problem = wanted ? FileProblem::NotText : FileProblem::MixedEncoding;
        decoded.line = LineAt(text, bad);
        return decoded;
    }
    DecodeGbk(bytes, decoded);
    return decoded;
}

char DetectSeparator(std::string_view text)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return ';';
    if (tabs > commas && tabs > semicolons)
        return '\t';
    return ',';
}

bool SplitRecords(std::string_view text, char separator, std::vector<Record>& records, int& unclosedLine)
{
    int line = 1;
    std::size_t at = 0;
    const auto endsField = [&](std::size_t i) {
        return text[i] == separator || text[i] == '\n' || text[i] == '\r';
    };
    while (at < text.size()) {
        Record record;
        record.line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            Field field;
            std::size_t start = at;
            while (start < text.size() && text[start] == ' ')
                ++start;
            if (start < text.size() && text[start] == '"') {
                field.quoted = true;
                const int openedOn = line;
                bool closed = false;
                for (at = start + 1; at < text.size() && !closed;) {
                    const char c = text[at];
                    if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                        field.text += '"';
                        at += 2;
                    } else if (c == '"') {
                        closed = true;
                        ++at;
                    } else {
                        if (c == '\n' || (c == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n')))
                            ++line;
                        field.text += c;
                        ++at;
                    }
                }
                if (!closed) {
                    unclosedLine = openedOn;
                    return false;
                }
                for (; at < text.size() && !endsField(at); ++at)
                    field.textAfterQuote = field.textAfterQuote || text[at] != ' ';
            } else {
                while (at < text.size() && !endsField(at))
                    field.text += text[at++];
            }
            record.fields.push_back(std::move(field));
            if (at >= text.size()) {
                endOfRecord = true;
            } else if (text[at] == separator) {
                ++at;
            } else {
                at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
                ++line;
                endOfRecord = true;
            }
        }
        records.push_back(std::move(record));
    }
    return true;
}

namespace {

bool StartsFormula(char c)
{
    return c == '=' || c == '+' || c == '-' || c == '@';
}

} // namespace

std::string ForSpreadsheet(const std::string& cell)
{
    const bool escaped = !cell.empty()
        && (StartsFormula(cell.front()) || (cell.front() == '\'' && cell.size() > 1 && (StartsFormula(cell[1]) || cell[1] == '\'')));
    return escaped ? "'" + cell : cell;
}

std::string FromSpreadsheet(const std::string& field)
{
    const bool escaped = field.size() > 1 && field.front() == '\'' && (StartsFormula(field[1]) || field[1] == '\'');
    return escaped ? field.substr(1) : field;
}

} // namespace CsvText
