#pragma once

#include <string_view>

// Which characters a free text field may take: the corporate name, the calibration lists' typed
// text and the commodity cells. The text is GBK bytes; the widgets refuse what GBK cannot represent
// before they ask.
namespace TextEntry {

enum class Field {
    Line,       // one line sent to the scale or kept in the settings file
    Commodity,  // Code or Product Name: also kept in the comma-separated file and sent as "[Code]<Name>"
};

enum class Verdict {
    Accepted,
    LineBreak,         // CR or LF: the text would go out as two lines, or start a new key in a file
    ControlCharacter,  // any other byte below 0x20, or DEL
    Delimiter,         // ",", "[", "]", "<" or ">" in a commodity field
};

// The verdict on the first character that the field cannot take, or Accepted. The second byte of
// a double-byte character is never taken for a character of its own.
Verdict Check(std::string_view gbk, Field field);

} // namespace TextEntry
