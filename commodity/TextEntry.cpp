#include "commodity/TextEntry.h"

#include "commodity/GbkText.h"

namespace TextEntry {

Verdict Check(std::string_view gbk, Field field)
{
    for (std::size_t at = 0; at < gbk.size(); at += GbkText::CharacterLength(gbk, at)) {
        if (GbkText::CharacterLength(gbk, at) != 1)
            continue;
        const char c = gbk[at];
        if (c == '\r' || c == '\n')
            return Verdict::LineBreak;
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return Verdict::ControlCharacter;
        if (field == Field::Commodity && (c == ',' || c == '[' || c == ']' || c == '<' || c == '>'))
            return Verdict::Delimiter;
    }
    return Verdict::Accepted;
}

} // namespace TextEntry
