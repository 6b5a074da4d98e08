#include "app/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace Language {
namespace {
std::vector<std::unique_ptr<QTranslator>>& installed()
{
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}
} // namespace

bool IsChinese(const QLocale& locale)
{
    return locale.language() == QLocale::Chinese;
}

void Install(const QLocale& locale)
{
    for (auto& translator : installed())
        QCoreApplication::removeTranslator(translator.get());
    installed().clear();
    if (!IsChinese(locale))
        return;
    // One translation file per area of the tool, all compiled into the resources.
    const QDir dir(QStringLiteral(":/i18n"));
    QStringList files;
    for (const QString& file : dir.entryList({QStringLiteral("*_zh_CN.qm")}, QDir::Files, QDir::Name))
        files << dir.filePath(file);
    // Qt's own texts (message box buttons, the line edits' menus, the print and font dialogs), from
    // the translations installed with Qt. Without them those texts stay English.
    files << QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(QStringLiteral("qtbase_zh_CN.qm"));
    for (const QString& file : files) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(file)) {
            QCoreApplication::installTranslator(translator.get());
            installed().push_back(std::move(translator));
        }
    }
}

} // namespace Language
