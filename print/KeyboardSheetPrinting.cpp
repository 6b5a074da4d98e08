#include "print/KeyboardSheetPrinting.h"

#include "commodity/CommodityTable.h"
#include "print/KeyboardSheetRenderer.h"
#include "print/PreviewHost.h"
#include "print/PrintFontSetup.h"

#include <QWidget>

void ShowKeyboardSheetPreview(QWidget* owner, const CommodityTable& table, SheetLayout layout)
{
    // The job lives as long as its preview window: it remembers what was already reported.
    auto* job = new KeyboardSheetJob{&table, layout, owner};
    PreviewHost* host = PreviewHost::Open(&PrintKeyboardSheetProc, owner, job);
    if (!host) {
        delete job;
        return;
    }
    QObject::connect(host, &QObject::destroyed, [job] { delete job; });
}

void RunPrintFontSetup(QWidget* parent)
{
    PrintFontSetup::Run(parent);
}
