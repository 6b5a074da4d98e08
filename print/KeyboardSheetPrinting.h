#pragma once

#include "rules/KeyboardSheetGeometry.h"

class CommodityTable;
class QWidget;

// Entry points of keyboard sheet printing for the main dialog.

// Opens a new print preview of the keyboard sheet for `layout` with the names of
// commodities 1 to 41 from `table`. `owner` (the main dialog) is hidden while the preview is open and
// shown again when it closes; `table` must outlive the preview (the main dialog owns it).
void ShowKeyboardSheetPreview(QWidget* owner, const CommodityTable& table, SheetLayout layout);

// Lets the operator choose the font of the names on the sheets; OK stores it in the settings file,
// Cancel changes nothing.
void RunPrintFontSetup(QWidget* parent);
