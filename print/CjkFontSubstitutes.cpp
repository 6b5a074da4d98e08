#include "print/CjkFontSubstitutes.h"

#include <QFont>
#include <QString>
#include <QStringList>

void InstallCjkFontSubstitutes()
{
    // Serif faces first for the Song family, sans faces first for the Hei family; WenQuanYi is
    // what the installation brings, the others are used when present.
    const QStringList song = {QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                              QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                              QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("WenQuanYi Micro Hei")};
    const QStringList hei = {QStringLiteral("SimHei"), QStringLiteral("Microsoft YaHei"),
                             QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                             QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Serif CJK SC")};
    const auto withoutSelf = [](QStringList list, const QString& self) {
        list.removeAll(self);
        return list;
    };
    QFont::insertSubstitutions(QString::fromUtf8("宋体"), song);
    QFont::insertSubstitutions(QString::fromUtf8("新宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), withoutSelf(song, QStringLiteral("SimSun")));
    QFont::insertSubstitutions(QStringLiteral("NSimSun"), withoutSelf(song, QStringLiteral("NSimSun")));
    QFont::insertSubstitutions(QString::fromUtf8("黑体"), hei);
    QFont::insertSubstitutions(QStringLiteral("SimHei"), withoutSelf(hei, QStringLiteral("SimHei")));
    QFont::insertSubstitutions(QString::fromUtf8("微软雅黑"), hei);
}
