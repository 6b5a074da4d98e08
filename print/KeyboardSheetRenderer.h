#pragma once

#include "print/PreviewHost.h"
#include "rules/KeyboardSheetGeometry.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class CommodityTable;
class QPaintDevice;
class QPainter;
struct SheetFont;

// One keyboard sheet preview with its later print job: what to draw and which problems the
// operator was already told about.
struct KeyboardSheetJob {
    const CommodityTable* table = nullptr;
    SheetLayout layout = SheetLayout::A15;
    QPointer<QWidget> owner;   // the main dialog: owner of the messages
    // The preview or print job in which each message was last shown (0: never).
    quint64 missingTemplateReportedIn = 0;
    quint64 paperTooSmallReportedIn = 0;
    quint64 cutNamesReportedIn = 0;
};

enum class SheetRenderResult { Drawn, MissingTemplate, UnreadableTemplate, PaperTooSmall };

// "A15.bmp" or "A16.bmp" in the application directory.
QString KeyboardSheetTemplatePath(SheetLayout layout);

// Draws the sheet for `job` on `painter`, whose device is the printer page described by `info`:
// the template stretched to 211 mm x 110 mm, centred on the printable area, and the names of
// commodities 1 to 41 in the key fields. In the preview, names that do not fit their keys are framed
// in red and the operator is told once which they are. A missing template or a page too small for the sheet is
// reported once per preview or print job; nothing is drawn then. With a null painter only the
// checks run, on the printer `info` names: Drawn then means the sheet can be drawn there.
SheetRenderResult RenderKeyboardSheet(QPainter* painter, const PrintPageInfo& info, KeyboardSheetJob& job);

// List rows (0..40) whose names do not fit their key fields in `font` on `device`: they would be cut
// at the field's edges or touch them.
std::vector<int> NamesThatDoNotFit(const CommodityTable& table, const KeyboardSheetGeometry::Layout& layout,
                                   const QFont& font, const QPaintDevice* device);

// The render callback of the preview host; `context` is a KeyboardSheetJob. False when the sheet
// cannot be drawn.
bool PrintKeyboardSheetProc(QPainter* painter, const PrintPageInfo* info, void* context);

// The font for the names on `device`: the stored height is a size in points (negative: character
// height, positive: cell height), the weight on the 0/400/700 scale (0: normal).
QFont SheetFontForDevice(const SheetFont& font, const QPaintDevice* device);
