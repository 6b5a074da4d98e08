// The numeric fields' keystroke rule and conversions: whatever is typed, the field is never empty
// and its caret and selection stay inside the text; a number read from a field shows back as the
// same number.
#include "FuzzCheck.h"

#include "rules/NumericEntry.h"
#include "settings/LeadingInteger.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

void RequireInside(const NumericEntry::Field& field)
{
    FUZZ_REQUIRE(!field.text.empty());
    FUZZ_REQUIRE(field.caret <= field.text.size());
    FUZZ_REQUIRE(field.selectionStart <= field.text.size());
    FUZZ_REQUIRE(field.selectionLength <= field.text.size() - field.selectionStart);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    NumericEntry::LeadingReal(text);
    LeadingInteger::Wrapped(text, true);
    LeadingInteger::Clamped(text);
    if (const auto integer = NumericEntry::ParseInteger(text))
        FUZZ_REQUIRE(NumericEntry::ParseInteger(NumericEntry::FormatInteger(*integer)) == integer);
    if (const auto real = NumericEntry::ParseReal(text); real && std::isfinite(*real)) {
        const auto again = NumericEntry::ParseReal(NumericEntry::FormatReal(*real));
        FUZZ_REQUIRE(again && NumericEntry::FormatReal(*again) == NumericEntry::FormatReal(*real));
    }

    // Typing: the first byte picks the mode and the range, every further byte is a keystroke.
    if (size == 0)
        return 0;
    static const NumericEntry::Limits kLimits[] = {
        {NumericEntry::Mode::Integer, 0, 0},      {NumericEntry::Mode::Integer, 999999, 0},
        {NumericEntry::Mode::Decimal, 0, 0},      {NumericEntry::Mode::Decimal, 90, 0},
        {NumericEntry::Mode::Decimal, 9.9, -9.9}, {NumericEntry::Mode::Integer, 100, 1}};
    const NumericEntry::Limits& limits = kLimits[data[0] % 6];
    NumericEntry::Field field = NumericEntry::Settle(NumericEntry::Field{}, limits);
    RequireInside(field);
    for (std::size_t i = 1; i < size; ++i) {
        const std::uint8_t key = data[i];
        if (key >= 0xF0 && i + 1 < size) {
            // Moves the caret or selects instead of typing.
            const std::size_t place = data[++i] % (field.text.size() + 1);
            field.caret = place;
            field.selectionStart = key & 1 ? 0 : place;
            field.selectionLength = key & 1 ? place : 0;
            continue;
        }
        const char32_t typed = key == 0xEF ? U'\u4E2D' : char32_t(key);
        field = NumericEntry::Type(field, typed, limits);
        RequireInside(field);
    }
    return 0;
}
