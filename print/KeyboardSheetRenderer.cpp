#include "print/KeyboardSheetRenderer.h"

#include "commodity/CommodityTable.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "rules/KeyboardSheetGeometry.h"
#include "settings/AppPaths.h"
#include "settings/SheetFontSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Message texts live in this context of the translations.
class KeyboardSheetRenderer {
    Q_DECLARE_TR_FUNCTIONS(KeyboardSheetRenderer)
public:
    static QString MissingTemplate() { return tr("The keyboard layout file does not exist"); }
    static QString PaperTooSmall() { return tr("The paper is too small,Please re select paper or rotate printing"); }
    static QString NamesCut(const QString& names)
    {
        return tr("These names do not fit their keys and are cut on the sheet (framed in red in the preview): %1. "
                  "Shorten them or choose a smaller font in Print setup.")
            .arg(names);
    }
};

// A name keeps this far from its key field's edges, in tenths of a millimetre.
constexpr int kNameMarginTenthsMm = 5;
// The frame around a name that does not fit, in tenths of a millimetre.
constexpr int kMarkTenthsMm = 4;
constexpr int kNameFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

QRect FieldRect(const KeyboardSheetGeometry::KeyRect& field)
{
    return QRect(field.left, field.top, field.right - field.left, field.bottom - field.top);
}

// Tells the operator once per preview or print job.
void ReportOnce(KeyboardSheetJob& job, quint64& reportedIn, quint64 currentJob, const QString& text)
{
    if (currentJob != 0 && reportedIn == currentJob)
        return;
    reportedIn = currentJob;
    OperatorMessage::Show(job.owner.data(), text, OperatorMessage::Icon::Information);
}

KeyboardSheetGeometry::DeviceMetrics MetricsOf(const QPaintDevice* device)
{
    return {device->width(), device->height(), device->logicalDpiX(), device->logicalDpiY()};
}

} // namespace

QString KeyboardSheetTemplatePath(SheetLayout layout)
{
    const char* file = layout == SheetLayout::A16 ? "A16.bmp" : "A15.bmp";
    return QString::fromLocal8Bit(AppPaths::InApplicationDirectory(file));
}

QFont SheetFontForDevice(const SheetFont& stored, const QPaintDevice* device)
{
    QFont font(FromGbk(stored.faceName));
    font.setStyleHint(QFont::SansSerif);
    // A height of 0 leaves the size to the font mapper; 10 points is what the default asks for.
    const int storedHeight = stored.height != 0 ? stored.height : -10;
    const int height = SheetFontDeviceHeight(storedHeight, device->logicalDpiY());
    if (height < 0) {
        font.setPixelSize(-height);
    } else {
        // A cell height includes the internal leading: scale the em size by the font's own ratio.
        QFont probe = font;
        probe.setPixelSize(1000);
        const QFontMetricsF metrics(probe, device);
        const double cell = metrics.ascent() + metrics.descent();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * 1000.0 / (cell > 0 ? cell : 1000.0)))));
    }
    font.setWeight(stored.weight <= 0 ? QFont::Normal : QFont::Weight(std::clamp(stored.weight, 1, 1000)));
    font.setItalic(stored.italic != 0);
    if (stored.width > 0) {
        // An average character width narrows or widens the face.
        const QFontMetricsF metrics(font, device);
        const double natural = metrics.averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * stored.width / natural)), 1, 4000));
    }
    return font;
}

std::vector<int> NamesThatDoNotFit(const CommodityTable& table, const KeyboardSheetGeometry::Layout& layout,
                                   const QFont& font, const QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    const int margin = MulDiv(kNameMarginTenthsMm, device->logicalDpiX(), 254);
    std::vector<int> rows;
    for (int index = 0; index < KeyboardSheetGeometry::kKeys; ++index) {
        const QString name = FromGbk(table.Cell(index, CommodityTable::Name));
        if (name.isEmpty())
            continue;
        const QRect field = FieldRect(layout.nameFields[static_cast<std::size_t>(index)]);
        const QRectF needed = metrics.boundingRect(QRectF(field), kNameFlags, name);
        if (needed.width() > field.width() - 2 * margin || needed.height() > field.height())
            rows.push_back(index);
    }
    return rows;
}

namespace {

// The preview frames each name that does not fit in red and says once which they are; the sheet
// as printed carries no frames.
void MarkNamesThatDoNotFit(QPainter* painter, const KeyboardSheetGeometry::Layout& layout, const QFont& font,
                           const QPaintDevice* device, const PrintPageInfo& info, KeyboardSheetJob& job)
{
    const std::vector<int> rows = NamesThatDoNotFit(*job.table, layout, font, device);
    if (rows.empty())
        return;
    const QPen previousPen = painter->pen();
    painter->setPen(QPen(Qt::red, std::max(1, MulDiv(kMarkTenthsMm, device->logicalDpiX(), 254))));
    painter->setBrush(Qt::NoBrush);
    QStringList names;
    for (int row : rows) {
        painter->drawRect(FieldRect(layout.nameFields[static_cast<std::size_t>(row)]));
        names << QStringLiteral("%1 %2").arg(row + 1).arg(FromGbk(job.table->Cell(row, CommodityTable::Name)));
    }
    painter->setPen(previousPen);
    ReportOnce(job, job.cutNamesReportedIn, info.job, KeyboardSheetRenderer::NamesCut(names.join(QStringLiteral(", "))));
}

} // namespace

SheetRenderResult RenderKeyboardSheet(QPainter* painter, const PrintPageInfo& info, KeyboardSheetJob& job)
{
    QPaintDevice* device = info.printer ? static_cast<QPaintDevice*>(info.printer)
                         : painter           ? painter->device()
                                             : nullptr;
    if (!device)
        return SheetRenderResult::PaperTooSmall;  // no page to measure, none to draw on
    const QString templatePath = KeyboardSheetTemplatePath(job.layout);
    if (!QFileInfo::exists(templatePath)) {
        ReportOnce(job, job.missingTemplateReportedIn, info.job, KeyboardSheetRenderer::MissingTemplate());
        return SheetRenderResult::MissingTemplate;
    }
    QImageReader reader(templatePath, "BMP");
    const QImage picture = reader.read();
    if (picture.isNull())
        return SheetRenderResult::UnreadableTemplate;

    const KeyboardSheetGeometry::Layout layout = KeyboardSheetGeometry::Compute(MetricsOf(device));
    if (!layout.fits) {
        ReportOnce(job, job.paperTooSmallReportedIn, info.job, KeyboardSheetRenderer::PaperTooSmall());
        return SheetRenderResult::PaperTooSmall;
    }
    if (!painter)
        return SheetRenderResult::Drawn;

    painter->drawImage(QRect(layout.x0, layout.y0, layout.sheetWidth, layout.sheetHeight), picture);
    painter->setBackgroundMode(Qt::TransparentMode);

    const SheetFont stored =
        SheetFontSettings::Read(AppPaths::SettingsPath(), SheetFontSettings::kRendererDefaultFace);
    const QFont previousFont = painter->font();
    const QFont font = SheetFontForDevice(stored, device);
    painter->setFont(font);
    for (int index = 0; index < KeyboardSheetGeometry::kKeys; ++index) {
        const QString name = job.table ? FromGbk(job.table->Cell(index, CommodityTable::Name)) : QString();
        if (name.isEmpty())
            continue;
        // One centred line, cut at the field's edges; "&" marks a mnemonic as in a dialog caption.
        painter->drawText(FieldRect(layout.nameFields[static_cast<std::size_t>(index)]), kNameFlags, name);
    }
    painter->setFont(previousFont);
    if (info.preview && job.table)
        MarkNamesThatDoNotFit(painter, layout, font, device, info, job);
    return SheetRenderResult::Drawn;
}

bool PrintKeyboardSheetProc(QPainter* painter, const PrintPageInfo* info, void* context)
{
    if (!info || !context)
        return false;
    return RenderKeyboardSheet(painter, *info, *static_cast<KeyboardSheetJob*>(context)) == SheetRenderResult::Drawn;
}
