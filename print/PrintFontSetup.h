#pragma once

#include "settings/SheetFontSettings.h"

#include <QFont>

class QWidget;

// The font dialog behind the "Print setup" button and the translations between the stored
// sheet font and the dialog's QFont. The dialog works in screen units: a stored negative height
// is a character height in logical screen pixels, -round(points * dpi / 72).
namespace PrintFontSetup {

int LogicalHeightFromPointSize(double pointSize, int logicalDpiY);

// The stored font as the dialog shows it on a screen of the given logical resolution.
QFont ScreenFontFromSheetFont(const SheetFont& font, int logicalDpiY);

// The dialog's choice as it is stored: charset 1 (the default set), width 0, weight on the
// 100..900 scale (400 normal, 700 bold), italic 0/1, face name cut to 31 bytes of GBK.
SheetFont SheetFontFromScreenFont(const QFont& font, int logicalDpiY);

// Opens the font dialog on the stored font (SimHei when none is stored). OK stores the choice, with
// the character set as it was stored, and returns true; Cancel writes nothing.
bool Run(QWidget* parent);

} // namespace PrintFontSetup
