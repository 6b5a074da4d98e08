#include "commodity/GbkCodec.h"
#include "SheetPdf.h"

#include "app/Language.h"
#include "commodity/CommodityTable.h"
#include "print/CjkFontSubstitutes.h"
#include "print/KeyboardSheetRenderer.h"
#include "rules/KeyboardSheetGeometry.h"
#include "settings/AppPaths.h"
#include "settings/SheetFontSettings.h"
#include "support/MessageRecorder.h"
#include "support/TempDirectory.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTest>

namespace {

std::string Gbk(const QString& text)
{
    return GbkCodec::Utf8ToGbk(text.toStdString()).value();
}

void CopyTemplates(const TempAppDirectory& dir)
{
    for (const char* name : {"A15.bmp", "A16.bmp"}) {
        QFile source(QStringLiteral(SCALETOOL_DEMO_DIR "/") + QLatin1String(name));
        QVERIFY2(source.open(QIODevice::ReadOnly), name);
        dir.WriteFile(name, source.readAll());
    }
}

QByteArray Bmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// Renders one sheet into a PDF and returns its words.
struct PdfRender {
    SheetRenderResult result;
    QList<SheetPdf::Word> words;
    std::unique_ptr<QPrinter> printer;
};

PdfRender RenderToPdf(const QString& file, KeyboardSheetJob& job, QPageLayout::Orientation orientation,
                      quint64 jobNumber = 1)
{
    PdfRender render;
    render.printer = SheetPdf::MakePrinter(file, orientation);
    QPainter painter(render.printer.get());
    const PrintPageInfo info{render.printer.get(), false, 1, jobNumber};
    render.result = RenderKeyboardSheet(&painter, info, job);
    painter.end();
    render.words = SheetPdf::Words(file);
    return render;
}

QStringList TextsOf(const QList<SheetPdf::Word>& words)
{
    QStringList texts;
    for (const auto& word : words)
        texts << word.text;
    return texts;
}

} // namespace

class KeyboardSheetRendererTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InstallCjkFontSubstitutes();
        Language::Install(QLocale::c());
    }

    void namesStandInTheirKeyFields()
    {
        TempAppDirectory dir;
        CopyTemplates(dir);
        CommodityTable table;
        for (int row = 0; row < CommodityTable::kRows; ++row) {
            table.SetCell(row, CommodityTable::Code, "C" + std::to_string(row + 1));
            table.SetCell(row, CommodityTable::Price, std::to_string(row + 1) + ".50");
            table.SetCell(row, CommodityTable::Name, (row < 41 ? "Item" : "Hidden") + std::to_string(row + 1));
        }
        table.SetCell(3, CommodityTable::Name, "");           // key 4 stays blank
        table.SetCell(10, CommodityTable::Name, Gbk(QString::fromUtf8("苹果")));
        table.SetCell(11, CommodityTable::Name, "S&alt");  // mnemonic: "&" dropped
        table.SetCell(12, CommodityTable::Name, "R&&D");        // "&&" prints one ampersand

        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        MessageRecorder messages;
        const PdfRender render = RenderToPdf(dir.Path() + "/a15.pdf", job, QPageLayout::Landscape);
        QCOMPARE(render.result, SheetRenderResult::Drawn);
        QVERIFY(messages.Messages().isEmpty());

        const QPrinter& printer = *render.printer;
        const KeyboardSheetGeometry::Layout layout =
            KeyboardSheetGeometry::Compute({printer.width(), printer.height(), printer.logicalDpiX(), printer.logicalDpiY()});
        QVERIFY(layout.fits);

        QStringList expected;
        for (int row = 0; row < 41; ++row)
            expected << "Item" + QString::number(row + 1);
        expected[3].clear();
        expected[10] = QString::fromUtf8("苹果");
        expected[11] = QStringLiteral("Salt");
        expected[12] = QStringLiteral("R&D");

        const QStringList texts = TextsOf(render.words);
        QCOMPARE(render.words.size(), 40);
        for (const SheetPdf::Word& word : render.words) {
            QVERIFY2(!word.text.startsWith("Hidden") && !word.text.startsWith("C") && !word.text.contains(".50"),
                     qPrintable(word.text));
            const int index = expected.indexOf(word.text);
            QVERIFY2(index >= 0, qPrintable("unexpected text " + word.text));
            const auto& field = layout.nameFields[static_cast<std::size_t>(index)];
            const QRectF fieldBox = SheetPdf::DeviceToPaperPoints(
                printer, QRectF(field.left, field.top, field.right - field.left, field.bottom - field.top));
            // Centred in the field: within a point horizontally, and inside the field's band vertically.
            QVERIFY2(qAbs(word.box.center().x() - fieldBox.center().x()) < 1.0, qPrintable(word.text));
            QVERIFY2(qAbs(word.box.center().y() - fieldBox.center().y()) < 2.0, qPrintable(word.text));
            QVERIFY2(word.box.left() >= fieldBox.left() && word.box.right() <= fieldBox.right(), qPrintable(word.text));
        }
        QVERIFY(!texts.contains(QString()));
        // An empty name leaves its key blank; its neighbours are there.
        QVERIFY(texts.contains("Item3") && texts.contains("Item5"));
        // The names print at 10 points: a character box about 10 points high.
        const auto item1 = std::find_if(render.words.begin(), render.words.end(),
                                        [](const SheetPdf::Word& w) { return w.text == "Item1"; });
        QVERIFY(item1 != render.words.end());
        QVERIFY2(item1->box.height() > 8.0 && item1->box.height() < 14.0, qPrintable(QString::number(item1->box.height())));
    }

    void bothLayoutsPlaceTheNamesAlike()
    {
        TempAppDirectory dir;
        CopyTemplates(dir);
        CommodityTable table;
        for (int row = 0; row < 41; ++row)
            table.SetCell(row, CommodityTable::Name, "Key" + std::to_string(row + 1));
        KeyboardSheetJob a15{&table, SheetLayout::A15, nullptr};
        KeyboardSheetJob a16{&table, SheetLayout::A16, nullptr};
        const PdfRender first = RenderToPdf(dir.Path() + "/a15.pdf", a15, QPageLayout::Landscape);
        const PdfRender second = RenderToPdf(dir.Path() + "/a16.pdf", a16, QPageLayout::Landscape);
        QCOMPARE(first.result, SheetRenderResult::Drawn);
        QCOMPARE(second.result, SheetRenderResult::Drawn);
        QCOMPARE(first.words.size(), 41);
        QCOMPARE(second.words.size(), first.words.size());
        for (int i = 0; i < first.words.size(); ++i) {
            QCOMPARE(second.words[i].text, first.words[i].text);
            QCOMPARE(second.words[i].box, first.words[i].box);
        }
        // Only the picture differs.
        QFile pdf15(dir.Path() + "/a15.pdf");
        QFile pdf16(dir.Path() + "/a16.pdf");
        QVERIFY(pdf15.open(QIODevice::ReadOnly) && pdf16.open(QIODevice::ReadOnly));
        QVERIFY(pdf15.readAll() != pdf16.readAll());
    }

    void storedFontKeysApplyAtTheNextRender()
    {
        TempAppDirectory dir;
        CopyTemplates(dir);
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Sample");
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        const PdfRender plain = RenderToPdf(dir.Path() + "/plain.pdf", job, QPageLayout::Landscape);
        // 10 points chosen on a 96-dpi screen is stored as -13 and prints at 13 points.
        SheetFontSettings::Write(AppPaths::SettingsPath(), SheetFont{"DejaVu Sans", 1, -13, 0, 700, 0});
        const PdfRender larger = RenderToPdf(dir.Path() + "/larger.pdf", job, QPageLayout::Landscape);
        QCOMPARE(plain.words.size(), 1);
        QCOMPARE(larger.words.size(), 1);
        const double ratio = larger.words[0].box.height() / plain.words[0].box.height();
        QVERIFY2(ratio > 1.1 && ratio < 1.6, qPrintable(QString::number(ratio)));
        QVERIFY(larger.words[0].box.width() > plain.words[0].box.width());
    }

    void fontFromTheStoredKeys_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("italic");
        QTest::newRow("defaults at 600 dpi") << QByteArray() << 600 << QString::fromUtf8("宋体") << 83
                                             << int(QFont::Normal) << false;
        QTest::newRow("defaults at 300 dpi") << QByteArray() << 300 << QString::fromUtf8("宋体") << 42
                                             << int(QFont::Normal) << false;
        QTest::newRow("stored screen height") << QByteArray("[Font]\r\nName=\xba\xda\xcc\xe5\r\nHeight=-13\r\n")
                                              << 600 << QString::fromUtf8("黑体") << 108 << int(QFont::Normal) << false;
        QTest::newRow("bold italic") << QByteArray("[Font]\r\nName=Arial\r\nWeight=700\r\nItalic=1\r\n") << 600
                                     << QStringLiteral("Arial") << 83 << int(QFont::Bold) << true;
        QTest::newRow("italic low byte") << QByteArray("[Font]\r\nItalic=256\r\nWeight=300\r\n") << 600
                                         << QString::fromUtf8("宋体") << 83 << int(QFont::Light) << false;
    }

    void fontFromTheStoredKeys()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, dpi);
        QFETCH(QString, family);
        QFETCH(int, pixelSize);
        QFETCH(int, weight);
        QFETCH(bool, italic);
        TempAppDirectory dir;
        if (!ini.isEmpty())
            dir.WriteFile("Option.ini", ini);
        QImage device(10, 10, QImage::Format_RGB32);
        device.setDotsPerMeterX(qRound(dpi / 0.0254));
        device.setDotsPerMeterY(qRound(dpi / 0.0254));
        const SheetFont stored = SheetFontSettings::Read(AppPaths::SettingsPath(), SheetFontSettings::kRendererDefaultFace);
        const QFont font = SheetFontForDevice(stored, &device);
        QCOMPARE(font.family(), family);
        QCOMPARE(font.pixelSize(), pixelSize);
        QCOMPARE(int(font.weight()), weight);
        QCOMPARE(font.italic(), italic);
    }

    void positiveHeightIsTheCellHeight()
    {
        QImage device(10, 10, QImage::Format_RGB32);
        device.setDotsPerMeterX(qRound(600 / 0.0254));
        device.setDotsPerMeterY(qRound(600 / 0.0254));
        const QFont font = SheetFontForDevice(SheetFont{"DejaVu Sans", 1, 12, 0, 0, 0}, &device);
        const QFontMetricsF metrics(font, &device);
        // 12 points at 600 dpi: a cell of 100 device units.
        QVERIFY2(qAbs(metrics.ascent() + metrics.descent() - 100.0) <= 2.0,
                 qPrintable(QString::number(metrics.ascent() + metrics.descent())));
        QVERIFY(font.pixelSize() < 100);
    }

    void missingTemplateIsReportedOncePerJob()
    {
        TempAppDirectory dir;
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple");
        MessageRecorder messages;
        QDialog owner;
        KeyboardSheetJob job{&table, SheetLayout::A15, &owner};
        PdfRender render = RenderToPdf(dir.Path() + "/missing.pdf", job, QPageLayout::Landscape, 7);
        QCOMPARE(render.result, SheetRenderResult::MissingTemplate);
        QVERIFY(render.words.isEmpty());
        render = RenderToPdf(dir.Path() + "/missing.pdf", job, QPageLayout::Landscape, 7);
        QCOMPARE(messages.Texts(), QStringList{"The keyboard layout file does not exist"});
        const OperatorMessage::Message& shown = messages.Messages().first();
        QCOMPARE(shown.parent, &owner);
        QCOMPARE(shown.icon, OperatorMessage::Icon::Information);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // The print job that follows the preview reports it again, once.
        render = RenderToPdf(dir.Path() + "/missing.pdf", job, QPageLayout::Landscape, 8);
        render = RenderToPdf(dir.Path() + "/missing.pdf", job, QPageLayout::Landscape, 8);
        QCOMPARE(messages.Messages().size(), 2);
        // A16 looks for its own file.
        CopyTemplates(dir);
        QFile::remove(dir.Path() + "/A16.bmp");
        KeyboardSheetJob a16{&table, SheetLayout::A16, &owner};
        QCOMPARE(RenderToPdf(dir.Path() + "/a16.pdf", a16, QPageLayout::Landscape, 9).result,
                 SheetRenderResult::MissingTemplate);
        QCOMPARE(RenderToPdf(dir.Path() + "/a15.pdf", job, QPageLayout::Landscape, 10).result, SheetRenderResult::Drawn);
        QCOMPARE(messages.Messages().size(), 3);
    }

    void missingTemplateMessageInChinese()
    {
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        TempAppDirectory dir;
        CommodityTable table;
        MessageRecorder messages;
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        const auto printer = SheetPdf::MakePrinter(dir.Path() + "/missing.pdf", QPageLayout::Landscape);
        QPainter painter(printer.get());
        const PrintPageInfo info{printer.get(), true, 1, 1};
        RenderKeyboardSheet(&painter, info, job);
        painter.end();
        QImage small(3000, 1000, QImage::Format_RGB32);
        small.setDotsPerMeterX(qRound(300 / 0.0254));
        small.setDotsPerMeterY(qRound(300 / 0.0254));
        CopyTemplates(dir);
        QPainter onImage(&small);
        RenderKeyboardSheet(&onImage, PrintPageInfo{nullptr, true, 1, 2}, job);
        onImage.end();
        Language::Install(QLocale::c());
        QCOMPARE(messages.Texts(), (QStringList{QString::fromUtf8("键盘布局文件不存在"),
                                                QString::fromUtf8("当前纸张太小,请重新选择纸张或旋转打印")}));
    }

    void directoryInPlaceOfTheTemplateGivesAnEmptyPage()
    {
        TempAppDirectory dir;
        QVERIFY(QDir(dir.Path()).mkdir("A15.bmp"));
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple");
        MessageRecorder messages;
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        const PdfRender render = RenderToPdf(dir.Path() + "/dir.pdf", job, QPageLayout::Landscape);
        QCOMPARE(render.result, SheetRenderResult::UnreadableTemplate);
        QVERIFY(render.words.isEmpty());
        QVERIFY(messages.Messages().isEmpty());
    }

    void portraitPageIsTooSmall()
    {
        TempAppDirectory dir;
        CopyTemplates(dir);
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple");
        MessageRecorder messages;
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        const PdfRender render = RenderToPdf(dir.Path() + "/portrait.pdf", job, QPageLayout::Portrait, 3);
        QCOMPARE(render.result, SheetRenderResult::PaperTooSmall);
        QVERIFY(render.words.isEmpty());
        RenderToPdf(dir.Path() + "/portrait.pdf", job, QPageLayout::Portrait, 3);
        QCOMPARE(messages.Texts(), QStringList{"The paper is too small,Please re select paper or rotate printing"});
    }

    // On a bare page of exactly the sheet's size less one or two units: one unit short still fits.
    void sheetOneUnitLargerThanThePageStillFits_data()
    {
        QTest::addColumn<int>("shortBy");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("W - 1") << 1 << true;
        QTest::newRow("W - 2") << 2 << false;
    }

    void sheetOneUnitLargerThanThePageStillFits()
    {
        QFETCH(int, shortBy);
        QFETCH(bool, drawn);
        TempAppDirectory dir;
        // A solid template of odd size: it must cover exactly W x H.
        QImage artwork(17, 9, QImage::Format_RGB32);
        artwork.fill(Qt::red);
        dir.WriteFile("A15.bmp", Bmp(artwork));
        const auto metrics = KeyboardSheetGeometry::Compute({0, 0, 300, 300});
        QImage page(metrics.sheetWidth - shortBy, metrics.sheetHeight, QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(300 / 0.0254));
        page.setDotsPerMeterY(qRound(300 / 0.0254));
        page.fill(Qt::white);
        CommodityTable table;
        MessageRecorder messages;
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        QPainter painter(&page);
        const SheetRenderResult result = RenderKeyboardSheet(&painter, PrintPageInfo{nullptr, false, 1, 1}, job);
        painter.end();
        QCOMPARE(result == SheetRenderResult::Drawn, drawn);
        QCOMPARE(messages.Messages().size(), drawn ? 0 : 1);
        QCOMPARE(page.pixelColor(0, 0), drawn ? QColor(Qt::red) : QColor(Qt::white));
        QCOMPARE(page.pixelColor(page.width() - 1, page.height() - 1), drawn ? QColor(Qt::red) : QColor(Qt::white));
    }

    void templateIsStretchedOntoTheSheetAndNamesAreCut()
    {
        TempAppDirectory dir;
        QImage artwork(40, 21, QImage::Format_RGB32);
        artwork.fill(Qt::white);
        dir.WriteFile("A15.bmp", Bmp(artwork));
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, std::string(60, 'W'));
        table.SetCell(7, CommodityTable::Name, "W");
        QImage page(3408, 2380, QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(300 / 0.0254));
        page.setDotsPerMeterY(qRound(300 / 0.0254));
        page.fill(Qt::gray);
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        QPainter painter(&page);
        QCOMPARE(RenderKeyboardSheet(&painter, PrintPageInfo{nullptr, false, 1, 1}, job), SheetRenderResult::Drawn);
        painter.end();
        const auto layout = KeyboardSheetGeometry::Compute({3408, 2380, 300, 300});
        // The picture fills W x H at (X0, Y0) exactly.
        QCOMPARE(page.pixelColor(layout.x0, layout.y0), QColor(Qt::white));
        QCOMPARE(page.pixelColor(layout.x0 + layout.sheetWidth - 1, layout.y0 + layout.sheetHeight - 1), QColor(Qt::white));
        QCOMPARE(page.pixelColor(layout.x0 - 1, layout.y0), QColor(Qt::gray));
        QCOMPARE(page.pixelColor(layout.x0 + layout.sheetWidth, layout.y0 + layout.sheetHeight - 1), QColor(Qt::gray));
        QCOMPARE(page.pixelColor(layout.x0, layout.y0 - 1), QColor(Qt::gray));

        const auto inked = [&page](int left, int top, int right, int bottom) {
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    if (page.pixelColor(x, y) != QColor(Qt::white))
                        return true;
            return false;
        };
        const auto& wide = layout.nameFields[0];
        // A long name fills its field on one line and nothing beyond it.
        QVERIFY(inked(wide.left, wide.top, wide.left + 10, wide.bottom));
        QVERIFY(inked(wide.right - 10, wide.top, wide.right, wide.bottom));
        QVERIFY(!inked(wide.right, wide.top - layout.band, wide.right + layout.gapX + 2, wide.bottom + layout.band));
        QVERIFY(!inked(wide.left, wide.top - layout.band, wide.right, wide.top));
        QVERIFY(!inked(wide.left, wide.bottom, wide.right, wide.bottom + layout.band));
        // A short name stands in the middle of its field.
        const auto& narrow = layout.nameFields[7];
        const int middle = (narrow.left + narrow.right) / 2;
        QVERIFY(inked(middle - 10, narrow.top, middle + 10, narrow.bottom));
        QVERIFY(!inked(narrow.left, narrow.top, middle - 20, narrow.bottom));
        QVERIFY(!inked(middle + 20, narrow.top, narrow.right, narrow.bottom));
    }

    // Names too long for their keys are framed in red in the preview and named once per preview;
    // the printed sheet has no frames and says nothing more.
    void previewMarksNamesThatDoNotFit()
    {
        TempAppDirectory dir;
        QImage artwork(40, 21, QImage::Format_RGB32);
        artwork.fill(Qt::white);
        dir.WriteFile("A15.bmp", Bmp(artwork));
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple red");
        table.SetCell(2, CommodityTable::Name, Gbk(QString::fromUtf8("雪梨(大)")));
        table.SetCell(5, CommodityTable::Name, "Pear");
        const auto layout = KeyboardSheetGeometry::Compute({3408, 2380, 300, 300});
        KeyboardSheetJob job{&table, SheetLayout::A15, nullptr};
        MessageRecorder messages;
        const auto render = [&](bool preview, quint64 jobNumber) {
            QImage page(3408, 2380, QImage::Format_RGB32);
            page.setDotsPerMeterX(qRound(300 / 0.0254));
            page.setDotsPerMeterY(qRound(300 / 0.0254));
            page.fill(Qt::white);
            QPainter painter(&page);
            RenderKeyboardSheet(&painter, PrintPageInfo{nullptr, preview, 1, jobNumber}, job);
            return page;
        };
        const auto framed = [&layout](const QImage& page, int row) {
            const auto& field = layout.nameFields[std::size_t(row)];
            return page.pixelColor(field.left, (field.top + field.bottom) / 2) == QColor(Qt::red);
        };

        const QImage preview = render(true, 1);
        QCOMPARE(messages.Texts().size(), 1);
        const QString told = messages.Texts().front();
        QVERIFY2(told.contains("1 Apple red") && told.contains(QString::fromUtf8("3 雪梨(大)")), qPrintable(told));
        QVERIFY2(!told.contains("Pear"), qPrintable(told));
        QVERIFY(framed(preview, 0) && framed(preview, 2) && !framed(preview, 5));

        render(true, 1);
        QCOMPARE(messages.Texts().size(), 1);
        const QImage printed = render(false, 2);
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(!framed(printed, 0) && !framed(printed, 2));
    }

    void cjkFacesResolveToCjkFonts()
    {
        for (const char* face : {"宋体", "黑体", "SimSun", "SimHei"}) {
            const QFont font(QString::fromUtf8(face));
            const QRawFont raw = QRawFont::fromFont(font);
            QVERIFY2(raw.isValid(), face);
            QVERIFY2(raw.supportsCharacter(QChar(0x82F9)), qPrintable(QString::fromUtf8(face) + " -> " + raw.familyName()));
        }
    }
};

QTEST_MAIN(KeyboardSheetRendererTest)
#include "KeyboardSheetRendererTest.moc"
