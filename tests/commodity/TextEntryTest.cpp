#include "commodity/TextEntry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TextEntry::Field;
using TextEntry::Verdict;

struct EntryCase {
    const char* what;
    std::string gbk;
    Field field;
    Verdict expected;
};

void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.what; }

class TextEntryCheck : public testing::TestWithParam<EntryCase> {};

TEST_P(TextEntryCheck, GivesTheVerdictOfTheFirstRefusedCharacter)
{
    const EntryCase& c = GetParam();
    EXPECT_EQ(TextEntry::Check(c.gbk, c.field), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, TextEntryCheck, testing::Values(
    EntryCase{"empty line", "", Field::Line, Verdict::Accepted},
    EntryCase{"shop name with Chinese", "Shop \xD6\xD0", Field::Line, Verdict::Accepted},
    EntryCase{"line with LF", "Shop\nType=2", Field::Line, Verdict::LineBreak},
    EntryCase{"line with CR LF", "Shop\r\nType=2", Field::Line, Verdict::LineBreak},
    EntryCase{"trailing CR", "Shop\r", Field::Line, Verdict::LineBreak},
    EntryCase{"tab", "a\tb", Field::Line, Verdict::ControlCharacter},
    EntryCase{"escape", "\x1B" "a", Field::Line, Verdict::ControlCharacter},
    EntryCase{"NUL", std::string("a\0b", 3), Field::Line, Verdict::ControlCharacter},
    EntryCase{"DEL", "a\x7F", Field::Line, Verdict::ControlCharacter},
    EntryCase{"delimiters are fine in a line", "a,[b]<c>", Field::Line, Verdict::Accepted},
    EntryCase{"commodity name", "Apple \xC6\xBB\xB9\xFB 1kg", Field::Commodity, Verdict::Accepted},
    EntryCase{"comma", "a,b", Field::Commodity, Verdict::Delimiter},
    EntryCase{"opening square bracket", "[a", Field::Commodity, Verdict::Delimiter},
    EntryCase{"closing square bracket", "a]", Field::Commodity, Verdict::Delimiter},
    EntryCase{"opening angle bracket", "a<", Field::Commodity, Verdict::Delimiter},
    EntryCase{"closing angle bracket", "Pear>2", Field::Commodity, Verdict::Delimiter},
    EntryCase{"line break in a commodity field", "a\nb", Field::Commodity, Verdict::LineBreak},
    EntryCase{"first refused character decides", "a>\n", Field::Commodity, Verdict::Delimiter},
    EntryCase{"second bytes 0x5B and 0x5D belong to their characters", "\x81\x5B\x81\x5D", Field::Commodity,
              Verdict::Accepted},
    EntryCase{"lone lead byte at the end", "a\xD6", Field::Commodity, Verdict::Accepted}));

} // namespace
