#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The keystroke rule of the numeric fields: unsigned numbers only, never left empty, optionally
// clamped into a range after every keystroke. The edit control hands over its text, caret and
// selection with the typed character and shows what comes back.
namespace NumericEntry {

enum class Mode { Integer, Decimal };

struct Limits {
    Mode mode = Mode::Integer;
    // No range check while both bounds are 0.
    double upper = 0.0;
    double lower = 0.0;
};

// A field before or after a keystroke. Positions count bytes of `text`; the selection is
// [selectionStart, selectionStart + selectionLength) and the caret sits at one of its ends.
struct Field {
    std::string text;
    std::size_t caret = 0;
    std::size_t selectionStart = 0;
    std::size_t selectionLength = 0;

    bool operator==(const Field&) const = default;
};

inline constexpr char32_t kBackspace = 0x08;

// The field after `typed` (a character, or kBackspace) reached it.
Field Type(const Field& before, char32_t typed, const Limits& limits);

// The check that ends every keystroke, for text changes that do not arrive as a typed character
// (the Delete key, undo): an empty field becomes "0"; with a range the value is clamped and the
// caret goes to the end.
Field Settle(const Field& field, const Limits& limits);

// The real number at the front of a text, independent of the process locale: leading white space,
// an optional sign, as much of a number as fits; 0 when nothing fits.
double LeadingReal(std::string_view text);

// The dialogs' field exchange: the text, blanks around it allowed, must be one whole number.
// Nothing is returned when it is not (or, for integers, when it does not fit 32 bits).
std::optional<double> ParseReal(std::string_view text);
std::optional<std::int32_t> ParseInteger(std::string_view text);

// How the dialogs show their numbers: reals with 15 significant digits ("%.15g"), integers "%d".
std::string FormatReal(double value);
std::string FormatInteger(std::int32_t value);

} // namespace NumericEntry
