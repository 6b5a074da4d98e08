#include "print/KeyboardSheetPrinting.h"

#include "commodity/CommodityTable.h"

#include <QWidget>

void ShowKeyboardSheetPreview(QWidget* owner, const CommodityTable& table, int layout)
{
    Q_UNUSED(owner);
    Q_UNUSED(table);
    Q_UNUSED(layout);
}

void RunPrintFontSetup(QWidget* parent)
{
    Q_UNUSED(parent);
}
