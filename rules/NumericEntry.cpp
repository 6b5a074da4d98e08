#include "rules/NumericEntry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace NumericEntry {
namespace {

bool isDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Text replaced by the field itself: the caret goes behind the last character.
Field withText(std::string text)
{
    Field field;
    field.caret = text.size();
    field.selectionStart = field.caret;
    field.text = std::move(text);
    return field;
}

// Positions from the control may lag behind its text; keep them inside it.
Field normalised(Field field)
{
    const std::size_t size = field.text.size();
    field.caret = std::min(field.caret, size);
    field.selectionStart = std::min(field.selectionStart, size);
    field.selectionLength = std::min(field.selectionLength, size - field.selectionStart);
    if (field.selectionLength == 0)
        field.selectionStart = field.caret;
    return field;
}

// The edit box's own handling: the character replaces the selection or goes in at the caret;
// Backspace removes the selection or the character in front of the caret.
Field passOn(Field field, char32_t typed)
{
    std::size_t at = field.caret;
    if (field.selectionLength > 0) {
        field.text.erase(field.selectionStart, field.selectionLength);
        at = field.selectionStart;
    } else if (typed == kBackspace && at > 0) {
        std::size_t from = at - 1;
        // A whole UTF-8 sequence goes at once.
        while (from > 0 && (static_cast<unsigned char>(field.text[from]) & 0xC0) == 0x80)
            --from;
        field.text.erase(from, at - from);
        at = from;
    }
    if (typed != kBackspace) {
        // Only digits and the point are ever passed on.
        field.text.insert(at, 1, static_cast<char>(typed));
        ++at;
    }
    field.caret = at;
    field.selectionStart = at;
    field.selectionLength = 0;
    return field;
}

std::string wholeNumber(double bound)
{
    return std::to_string(static_cast<long long>(bound));
}

// The number at the start of `text` (after any sign), and where it ends.
std::from_chars_result scanUnsigned(const char* first, const char* last, double& value)
{
    if (first == last || *first == '+' || *first == '-')
        return {first, std::errc::invalid_argument};
    return std::from_chars(first, last, value, std::chars_format::general);
}

// The text without surrounding blanks, its sign taken off.
struct SignedDigits {
    const char* first;
    const char* last;
    bool negative;
};

SignedDigits digitsAndSign(std::string_view text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && isBlank(*first))
        ++first;
    while (last != first && isBlank(*(last - 1)))
        --last;
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    return {first, last, negative};
}

} // namespace

Field Settle(const Field& field, const Limits& limits)
{
    if (field.text.empty())
        return withText("0");
    if (limits.upper == 0.0 && limits.lower == 0.0)
        return field;
    const double value = LeadingReal(field.text);
    if (value > limits.upper)
        return withText(wholeNumber(limits.upper));
    if (value < limits.lower)
        return withText(wholeNumber(limits.lower));
    return withText(field.text);
}

Field Type(const Field& before, char32_t typed, const Limits& limits)
{
    const Field start = normalised(before);
    const std::string& text = start.text;
    const std::size_t length = text.size();
    const bool digit = isDigit(typed);
    const bool backspace = typed == kBackspace;
    Field field = start;

    if (limits.mode == Mode::Integer) {
        if (digit && text == "0")
            field = withText(std::string(1, static_cast<char>(typed)));
        else if (digit || backspace)
            field = passOn(start, typed);
        return Settle(field, limits);
    }

    const std::size_t point = text.find('.');
    const bool full = point == std::string::npos
        ? length > (text.starts_with('-') ? 7u : 6u)
        : length - point - 1 > 4;
    if (full && !backspace && typed != U'.' && typed != U'-') {
        field.caret = length;
        field.selectionStart = length;
        field.selectionLength = 0;
        return field;
    }

    if (digit && text == "0") {
        field = withText(std::string(1, static_cast<char>(typed)));
    } else if (backspace && length == 1) {
        field = withText("0");
    } else if (digit || backspace) {
        field = passOn(start, typed);
    } else if (typed == U'.' && point == std::string::npos) {
        // A field holds one point at most, also when it is all that is left ("5." less the 5).
        if (length == 0)
            field = withText("0.");
        else if (length == 1)
            field = withText(text + ".");
        else
            field = passOn(start, typed);
    }
    return Settle(field, limits);
}

double LeadingReal(std::string_view text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && isSpace(*first))
        ++first;
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    double value = 0.0;
    if (scanUnsigned(first, last, value).ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

std::optional<double> ParseReal(std::string_view text)
{
    auto [first, last, negative] = digitsAndSign(text);
    double value = 0.0;
    const auto [end, ec] = scanUnsigned(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    auto [first, last, negative] = digitsAndSign(text);
    if (first == last || *first < '0' || *first > '9')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(first, last, magnitude, 10);
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    if (ec != std::errc() || end != last || magnitude > limit)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

std::string FormatReal(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

std::string FormatInteger(std::int32_t value)
{
    return std::to_string(value);
}

} // namespace NumericEntry
