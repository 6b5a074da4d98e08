#include "print/PrintFontSetup.h"

#include "commodity/GbkText.h"
#include "controls/GbkConvert.h"
#include "controls/SettingsReport.h"
#include "print/KeyboardSheetPrinting.h"
#include "settings/AppPaths.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace PrintFontSetup {
namespace {

int ScreenLogicalDpiY(const QWidget* parent)
{
    if (parent)
        return parent->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

// The font dialog offers a choice of real families only; a stored alias (a Windows face name
// on Linux, say) opens on the family that stands in for it.
QFont WithResolvedFamily(QFont font)
{
    if (!QFontDatabase::hasFamily(font.family()))
        font.setFamily(QFontInfo(font).family());
    return font;
}

} // namespace

int LogicalHeightFromPointSize(double pointSize, int logicalDpiY)
{
    return -static_cast<int>(std::lround(pointSize * logicalDpiY / 72.0));
}

QFont ScreenFontFromSheetFont(const SheetFont& stored, int logicalDpiY)
{
    QFont font(FromGbk(GbkText::CutToBytes(stored.faceName, SheetFontSettings::kMaxFaceNameBytes)));
    const int dpi = logicalDpiY > 0 ? logicalDpiY : 96;
    if (stored.height < 0) {
        font.setPointSizeF(-stored.height * 72.0 / dpi);
    } else if (stored.height > 0) {
        // A cell height: take off the leading the face has above its characters.
        QFont probe = font;
        probe.setPixelSize(1000);
        const QFontMetricsF metrics(probe);
        const double cell = metrics.ascent() + metrics.descent();
        const double characterHeight = cell > 0 ? stored.height * 1000.0 / cell : stored.height;
        font.setPointSizeF(std::max(1.0, characterHeight * 72.0 / dpi));
    }
    font.setWeight(stored.weight <= 0 ? QFont::Normal : QFont::Weight(std::clamp(stored.weight, 1, 1000)));
    font.setItalic(stored.italic != 0);
    return font;
}

SheetFont SheetFontFromScreenFont(const QFont& font, int logicalDpiY)
{
    SheetFont stored;
    stored.faceName = std::string(GbkText::CutToBytes(ToGbk(font.family()), SheetFontSettings::kMaxFaceNameBytes));
    stored.charset = 1;
    stored.height = font.pointSizeF() > 0 ? LogicalHeightFromPointSize(font.pointSizeF(), logicalDpiY)
                                          : -std::max(1, font.pixelSize());
    stored.width = 0;
    stored.weight = static_cast<int>(font.weight());
    stored.italic = font.italic() ? 1 : 0;
    return stored;
}

bool Run(QWidget* parent)
{
    const std::string& settings = AppPaths::SettingsPath();
    const int dpi = ScreenLogicalDpiY(parent);
    const SheetFont stored = SheetFontSettings::Read(settings, SheetFontSettings::kSetupDefaultFace);

    QFontDialog dialog(parent);
    // Outline fonts only, and no effects: the sheet knows no underline, strike-out or colour.
    dialog.setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (!group->findChildren<QCheckBox*>().isEmpty())
            group->hide();
    }
    dialog.setCurrentFont(WithResolvedFamily(ScreenFontFromSheetFont(stored, dpi)));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SheetFont chosen = SheetFontFromScreenFont(dialog.selectedFont(), dpi);
    // The dialog offers no choice of character set: the stored one stays.
    chosen.charset = stored.charset;
    ReportSettingsWrites(parent, SheetFontSettings::Write(settings, chosen));
    return true;
}

} // namespace PrintFontSetup
