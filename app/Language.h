#pragma once

#include <QLocale>

class QCoreApplication;

// The user-interface language: the Simplified Chinese set for zh_* locales, the neutral set otherwise.
// Decided once at start-up; tests install a locale of their choice.
namespace Language {

bool IsChinese(const QLocale& locale);
// Loads the Chinese translations (the tool's and Qt's own) when the locale asks for them; removes
// them otherwise.
void Install(const QLocale& locale);

} // namespace Language
