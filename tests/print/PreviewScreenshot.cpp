// Saves a picture of the keyboard sheet preview (A15, Chinese names) for the documentation:
//   QT_QPA_PLATFORM=offscreen print_preview_screenshot docs/print-preview.png
#include "commodity/GbkCodec.h"
#include "app/Language.h"
#include "commodity/CommodityTable.h"
#include "print/CjkFontSubstitutes.h"
#include "print/KeyboardSheetPrinting.h"
#include "print/PreviewHost.h"
#include "support/TempDirectory.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTest>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ScaleTool"));
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("print-preview.png");
    InstallCjkFontSubstitutes();
    Language::Install(QLocale(QLocale::Chinese, QLocale::China));

    TempAppDirectory dir;
    QFile source(QStringLiteral(SCALETOOL_DEMO_DIR "/A15.bmp"));
    if (!source.open(QIODevice::ReadOnly))
        return 1;
    dir.WriteFile("A15.bmp", source.readAll());

    const char* names[] = {"苹果", "香蕉", "橙子", "葡萄", "西瓜", "草莓", "雪梨", "桃子", "芒果", "菠萝", "樱桃",
                           "柠檬", "猪肉", "牛肉", "羊肉", "鸡蛋", "鸡胸肉", "带鱼", "虾仁", "豆腐", "白菜", "土豆",
                           "西红柿", "黄瓜", "茄子", "青椒", "胡萝卜", "洋葱", "大蒜", "生姜", "大米", "面粉", "花生",
                           "红枣", "核桃", "绿豆", "黄豆", "香菇", "木耳", "粉丝", "腊肠"};
    CommodityTable table;
    for (int row = 0; row < 41; ++row)
        table.SetCell(row, CommodityTable::Name, GbkCodec::Utf8ToGbk(names[row]).value());

    QDialog owner;
    owner.setWindowTitle(QString::fromUtf8("电子秤"));
    owner.show();
    ShowKeyboardSheetPreview(&owner, table, SheetLayout::A15);
    PreviewHost* host = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<PreviewHost*>(widget))
            host = candidate;
    }
    if (!host)
        return 2;
    host->showNormal();
    host->resize(1280, 820);
    QTest::qWait(200);
    const bool saved = host->grab().save(output);
    host->close();
    return saved ? 0 : 3;
}
