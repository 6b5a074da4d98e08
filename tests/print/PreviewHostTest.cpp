#include "SheetPdf.h"

#include "app/Language.h"
#include "commodity/CommodityTable.h"
#include "print/KeyboardSheetPrinting.h"
#include "print/PreviewHost.h"
#include "support/ControlLookup.h"
#include "support/MessageRecorder.h"
#include "support/TempDirectory.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <functional>
#include <optional>

namespace {

// Records every call of the render callback.
struct RenderLog {
    struct Call {
        bool preview;
        quint64 job;
        QPageLayout::Orientation orientation;
        int width;
        int height;
    };
    QList<Call> calls;
    bool drawable = true;  // what the callback answers
    int checks = 0;        // calls without a painter: the question before a print job
    int PrintCalls() const
    {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const Call& c) { return !c.preview; }));
    }
};

bool LogRender(QPainter* painter, const PrintPageInfo* info, void* context)
{
    auto* log = static_cast<RenderLog*>(context);
    if (!painter) {
        ++log->checks;
        return log->drawable;
    }
    log->calls.append({info->preview, info->job, info->printer->pageLayout().orientation(), info->printer->width(),
                       info->printer->height()});
    if (log->drawable)
        painter->drawText(QPointF(100, 100), QStringLiteral("Page"));
    return log->drawable;
}

// Runs `action` on the next modal dialog of type T as soon as it is up.
template <typename T>
void WhenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

QAction* ToolAction(PreviewHost* host, const char* name)
{
    auto* action = host->findChild<QAction*>(QLatin1String(name));
    if (!action)
        qFatal("action %s not found", name);
    return action;
}

// Points the preview's printer at a PDF file (on this paper, if given) and prints, accepting the
// print dialog.
void PrintToPdf(PreviewHost* host, const QString& file, std::optional<QPageSize> paper = std::nullopt)
{
    host->Printer()->setOutputFormat(QPrinter::PdfFormat);
    host->Printer()->setOutputFileName(file);
    if (paper)
        host->Printer()->setPageSize(*paper);
    WhenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
    ToolAction(host, "previewPrint")->trigger();
}

PreviewHost* OpenPreviewHost()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* host = qobject_cast<PreviewHost*>(widget); host && host->isVisible())
            return host;
    }
    return nullptr;
}

} // namespace

class PreviewHostTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        PreviewHost::ForgetPrinterChoice();
        owner_ = std::make_unique<QDialog>();
        owner_->setWindowTitle(QStringLiteral("Electronic scale"));
        QVERIFY(ShowExposed(owner_.get()));
    }

    void cleanup()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<PreviewHost*>(widget))
                delete widget;
        }
        owner_.reset();
    }

    void titleFollowsTheOwner()
    {
        QCOMPARE(PreviewHost::TitleFor(QStringLiteral("Electronic scale")), QString::fromUtf8("Electronic scale (预览)"));
        QCOMPARE(PreviewHost::TitleFor(QString()), QString::fromUtf8("打印预览"));
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        Language::Install(QLocale::c());
        QVERIFY(host);
        QCOMPARE(host->windowTitle(), QString::fromUtf8("Electronic scale (预览)"));
        // The tool bar reads the same in both languages.
        QStringList captions;
        for (QAction* action : host->findChild<QToolBar*>()->actions())
            captions << action->text();
        QCOMPARE(captions, (QStringList{"&Print...", "&Next Page", "Pre&v Page", "&Two Page", "Zoom &In", "Zoom &Out",
                                        "&Close"}));
        host->close();
    }

    void openShowsOneLandscapePageAndHidesTheOwner()
    {
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        QVERIFY(host->isVisible());
        QVERIFY(host->isMaximized());
        QVERIFY(!owner_->isVisible());
        QCOMPARE(host->findChild<QPrintPreviewWidget*>()->pageCount(), 1);
        QVERIFY(!ToolAction(host, "previewNextPage")->isEnabled());
        QVERIFY(!ToolAction(host, "previewPrevPage")->isEnabled());
        // Drawn once for the preview, already in landscape.
        QCOMPARE(log.calls.size(), 1);
        QVERIFY(log.calls[0].preview);
        QCOMPARE(log.calls[0].orientation, QPageLayout::Landscape);
        QVERIFY(log.calls[0].width > log.calls[0].height);
        // Zooming and switching the page mode show the same drawing.
        ToolAction(host, "previewZoomIn")->trigger();
        ToolAction(host, "previewZoomOut")->trigger();
        ToolAction(host, "previewPageMode")->trigger();
        QCOMPARE(ToolAction(host, "previewPageMode")->text(), QStringLiteral("&One Page"));
        ToolAction(host, "previewPageMode")->trigger();
        QCOMPARE(ToolAction(host, "previewPageMode")->text(), QStringLiteral("&Two Page"));
        QCoreApplication::processEvents();
        for (const auto& call : log.calls)
            QCOMPARE(call.job, log.calls[0].job);
        host->close();
    }

    void everyWayOfClosingBringsTheOwnerBack_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Close button") << 0;
        QTest::newRow("close()") << 1;
        QTest::newRow("window close request (close box, Alt+F4)") << 2;
    }

    void everyWayOfClosingBringsTheOwnerBack()
    {
        QFETCH(int, way);
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        QVERIFY(!owner_->isVisible());
        switch (way) {
        case 0: ToolAction(host, "previewClose")->trigger(); break;
        case 1: host->close(); break;
        case 2: host->windowHandle()->close(); break;
        }
        QTRY_VERIFY(host.isNull());
        QVERIFY(owner_->isVisible());
        QCOMPARE(log.PrintCalls(), 0);
    }

    void twoPreviewsInARowAreIndependent()
    {
        RenderLog first;
        QPointer<PreviewHost> one = PreviewHost::Open(&LogRender, owner_.get(), &first);
        QVERIFY(one);
        one->close();
        QTRY_VERIFY(one.isNull());
        RenderLog second;
        QPointer<PreviewHost> two = PreviewHost::Open(&LogRender, owner_.get(), &second);
        QVERIFY(two);
        QCOMPARE(second.calls.size(), 1);
        QCOMPARE(second.calls[0].orientation, QPageLayout::Landscape);
        QVERIFY(second.calls[0].job != first.calls[0].job);
        QVERIFY(!owner_->isVisible());
        two->close();
        QTRY_VERIFY(two.isNull());
        QVERIFY(owner_->isVisible());
    }

    void cancelledPrintPrintsNothingAndCloses()
    {
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        bool dialogSeen = false;
        WhenModal<QPrintDialog>([&dialogSeen](QPrintDialog* dialog) {
            dialogSeen = true;
            dialog->reject();
        });
        ToolAction(host, "previewPrint")->trigger();
        QVERIFY(dialogSeen);
        QTRY_VERIFY(host.isNull());
        QVERIFY(owner_->isVisible());
        QCOMPARE(log.PrintCalls(), 0);
    }

    void printToPdfFilePrintsOnePage()
    {
        TempAppDirectory dir;
        const QString file = dir.Path() + "/sheet.pdf";
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        host->Printer()->setOutputFormat(QPrinter::PdfFormat);
        host->Printer()->setOutputFileName(file);
        bool printToFileAllowed = false;
        WhenModal<QPrintDialog>([&printToFileAllowed](QPrintDialog* dialog) {
            printToFileAllowed = dialog->testOption(QAbstractPrintDialog::PrintToFile);
            dialog->accept();
        });
        ToolAction(host, "previewPrint")->trigger();
        QTRY_VERIFY(host.isNull());
        QVERIFY(printToFileAllowed);
        QVERIFY(owner_->isVisible());
        QCOMPARE(log.PrintCalls(), 1);
        const RenderLog::Call printed = log.calls.last();
        QCOMPARE(printed.orientation, QPageLayout::Landscape);
        QVERIFY(printed.job != log.calls.first().job);
        QVERIFY(QFile::exists(file));
        QCOMPARE(SheetPdf::PageCount(file), 1);
        const QList<SheetPdf::Word> words = SheetPdf::Words(file);
        QCOMPARE(words.size(), 1);
        QCOMPARE(words[0].text, QStringLiteral("Page"));
    }

    void pageThatCannotBeDrawnAbandonsThePrintJob()
    {
        TempAppDirectory dir;
        const QString file = dir.Path() + "/sheet.pdf";
        dir.WriteFile("sheet.pdf", "kept");
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        log.drawable = false;
        PrintToPdf(host, file);
        QTRY_VERIFY(host.isNull());
        QCOMPARE(log.checks, 1);
        QCOMPARE(log.PrintCalls(), 0);
        QCOMPARE(dir.ReadFile("sheet.pdf"), QByteArray("kept"));
        QVERIFY(owner_->isVisible());
    }

    void printerAndPaperCarryOverToTheNextPreview()
    {
        TempAppDirectory dir;
        const QString file = dir.Path() + "/sheet.pdf";
        RenderLog first;
        QPointer<PreviewHost> one = PreviewHost::Open(&LogRender, owner_.get(), &first);
        QVERIFY(one);
        // The dialog opens on these and keeps them.
        PrintToPdf(one, file, QPageSize(QPageSize::A3));
        QTRY_VERIFY(one.isNull());
        RenderLog second;
        QPointer<PreviewHost> two = PreviewHost::Open(&LogRender, owner_.get(), &second);
        QVERIFY(two);
        QCOMPARE(two->Printer()->outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(two->Printer()->outputFileName(), file);
        QCOMPARE(two->Printer()->pageLayout().pageSize().id(), QPageSize::A3);
        QCOMPARE(second.calls.size(), 1);
        QCOMPARE(second.calls[0].orientation, QPageLayout::Landscape);
        two->close();
    }

    void withoutPrintersThePrintDialogWritesAPdf()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed: the dialog offers it rather than a file");
        TempAppDirectory home;
        const QByteArray previousHome = qgetenv("HOME");
        qputenv("HOME", home.Path().toLocal8Bit());
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        QCOMPARE(host->Printer()->outputFormat(), QPrinter::PdfFormat);
        const QString expected = home.Path() + QString::fromUtf8("/Electronic scale (预览).pdf");
        WhenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        ToolAction(host, "previewPrint")->trigger();
        qputenv("HOME", previousHome);
        QTRY_VERIFY(host.isNull());
        QCOMPARE(log.PrintCalls(), 1);
        QVERIFY(QFile::exists(expected));
        QCOMPARE(SheetPdf::PageCount(expected), 1);
    }

    void unwritableOutputIsReported()
    {
        TempAppDirectory dir;
        MessageRecorder messages;
        RenderLog log;
        QPointer<PreviewHost> host = PreviewHost::Open(&LogRender, owner_.get(), &log);
        QVERIFY(host);
        PrintToPdf(host, dir.Path() + "/missing/folder/sheet.pdf");
        QTRY_VERIFY(host.isNull());
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("无法启动打印作业。")});
        QCOMPARE(log.PrintCalls(), 0);
        QVERIFY(owner_->isVisible());
    }

    void startFailureBringsTheOwnerBack()
    {
        MessageRecorder messages;
        QVERIFY(!PreviewHost::Open(nullptr, owner_.get(), nullptr));
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("命令失败。")});
        QVERIFY(owner_->isVisible());
        QCoreApplication::processEvents();
        QVERIFY(!OpenPreviewHost());
    }

    void keyboardSheetPreviewReportsAMissingTemplateOnce()
    {
        TempAppDirectory dir;
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple");
        MessageRecorder messages;
        ShowKeyboardSheetPreview(owner_.get(), table, SheetLayout::A16);
        QPointer<PreviewHost> host = OpenPreviewHost();
        QVERIFY(host);
        QVERIFY(!owner_->isVisible());
        ToolAction(host, "previewZoomIn")->trigger();
        ToolAction(host, "previewPageMode")->trigger();
        host->findChild<QPrintPreviewWidget*>()->updatePreview();
        QCOMPARE(messages.Texts(), QStringList{"The keyboard layout file does not exist"});
        QCOMPARE(messages.Messages().first().parent, owner_.get());
        // Printing is a new job: told once more, and abandoned; the file there is left alone.
        dir.WriteFile("sheet.pdf", "kept");
        PrintToPdf(host, dir.Path() + "/sheet.pdf");
        QTRY_VERIFY(host.isNull());
        QCOMPARE(messages.Messages().size(), 2);
        QVERIFY(owner_->isVisible());
        QCOMPARE(dir.ReadFile("sheet.pdf"), QByteArray("kept"));
    }

    void keyboardSheetOnTooSmallPaperIsNotPrinted()
    {
        TempAppDirectory dir;
        QFile source(QStringLiteral(SCALETOOL_DEMO_DIR "/A15.bmp"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        dir.WriteFile("A15.bmp", source.readAll());
        dir.WriteFile("sheet.pdf", "kept");
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple");
        MessageRecorder messages;
        ShowKeyboardSheetPreview(owner_.get(), table, SheetLayout::A15);
        QPointer<PreviewHost> host = OpenPreviewHost();
        QVERIFY(host);
        QVERIFY(messages.Messages().isEmpty());
        PrintToPdf(host, dir.Path() + "/sheet.pdf", QPageSize(QPageSize::A6));
        QTRY_VERIFY(host.isNull());
        QCOMPARE(messages.Texts(), QStringList{"The paper is too small,Please re select paper or rotate printing"});
        QCOMPARE(dir.ReadFile("sheet.pdf"), QByteArray("kept"));
    }

    void keyboardSheetPrintsTheTableAsItIsAtPrintTime()
    {
        TempAppDirectory dir;
        for (const char* name : {"A15.bmp", "A16.bmp"}) {
            QFile source(QStringLiteral(SCALETOOL_DEMO_DIR "/") + QLatin1String(name));
            QVERIFY(source.open(QIODevice::ReadOnly));
            dir.WriteFile(name, source.readAll());
        }
        CommodityTable table;
        table.SetCell(0, CommodityTable::Name, "Apple");
        MessageRecorder messages;
        ShowKeyboardSheetPreview(owner_.get(), table, SheetLayout::A15);
        QPointer<PreviewHost> host = OpenPreviewHost();
        QVERIFY(host);
        // An edit made while the preview is open appears on the printed page.
        table.SetCell(1, CommodityTable::Name, "Pear");
        PrintToPdf(host, dir.Path() + "/sheet.pdf");
        QTRY_VERIFY(host.isNull());
        QVERIFY(messages.Messages().isEmpty());
        QStringList texts;
        for (const auto& word : SheetPdf::Words(dir.Path() + "/sheet.pdf"))
            texts << word.text;
        QCOMPARE(texts, (QStringList{"Apple", "Pear"}));
    }

private:
    std::unique_ptr<QDialog> owner_;
};

QTEST_MAIN(PreviewHostTest)
#include "PreviewHostTest.moc"
