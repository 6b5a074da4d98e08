#pragma once

#include "app/Language.h"

#include <QLocale>
#include <QTest>

// Installs Simplified Chinese or the neutral language.
inline void InstallLanguage(bool chinese)
{
    Language::Install(chinese ? QLocale(QLocale::Chinese, QLocale::China) : QLocale::c());
}

// The column "chinese" with a row for each language, for a test run in both.
inline void AddLanguageRows()
{
    QTest::addColumn<bool>("chinese");
    QTest::newRow("neutral") << false;
    QTest::newRow("Chinese") << true;
}
