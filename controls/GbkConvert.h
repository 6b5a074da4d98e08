#pragma once

#include <QString>

#include <string>
#include <string_view>

// The GUI edge of the tool's text: the core, the wire and the files hold GBK bytes; widgets hold
// Unicode. Every conversion between the two goes through here.

QString FromGbk(std::string_view bytes);

// Characters GBK cannot represent become '?'; callers that must refuse them check with IsGbkText.
std::string ToGbk(const QString& text);

// True when every character of `text` has a GBK encoding that decodes back to it.
bool IsGbkText(const QString& text);
