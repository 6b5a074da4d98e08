#include "commodity/GbkText.h"

namespace GbkText {

bool IsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

std::size_t ByteLength(std::string_view text)
{
    return text.size();
}

std::size_t CharacterLength(std::string_view text, std::size_t index)
{
    if (index >= text.size())
        return 0;
    if (IsLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size())
        return 2;
    return 1;
}

bool IsCharacterBoundary(std::string_view text, std::size_t index)
{
    if (index > text.size())
        return false;
    std::size_t at = 0;
    while (at < index)
        at += CharacterLength(text, at);
    return at == index;
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharacterLength(text, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return text.substr(0, end);
}

} // namespace GbkText
