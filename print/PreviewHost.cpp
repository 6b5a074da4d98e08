#include "print/PreviewHost.h"

#include "controls/FixedTexts.h"
#include "controls/OperatorMessage.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QToolBar>

#include <optional>

namespace {

quint64 NextJobNumber()
{
    static quint64 last = 0;
    return ++last;
}

// What the operator chose in the last accepted print dialog.
struct PrinterChoice {
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString printerName;
    QString outputFileName;
    QPageLayout layout;
};

std::optional<PrinterChoice>& LastPrinterChoice()
{
    static std::optional<PrinterChoice> choice;
    return choice;
}

} // namespace

PreviewHost* PreviewHost::Open(PrintRenderProc render, QWidget* owner, void* context)
{
    auto* host = new PreviewHost(render, owner, context);
    if (host->Start())
        return host;
    // Nothing to stand in for the owner: bring it back rather than leave an empty window.
    OperatorMessage::Show(owner, FixedTexts::CommandFailed(), OperatorMessage::Icon::Warning);
    delete host;
    return nullptr;
}

QString PreviewHost::TitleFor(const QString& ownerTitle)
{
    return FixedTexts::PreviewTitle(ownerTitle);
}

PreviewHost::PreviewHost(PrintRenderProc render, QWidget* owner, void* context)
    : render_(render), owner_(owner), context_(context), printer_(QPrinter::HighResolution)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("previewWindow"));
    setWindowTitle(TitleFor(owner ? owner->windowTitle() : QString()));
    if (owner)
        setWindowIcon(owner->windowIcon());
    // A printer that has gone since is not asked for: the preview starts on the default one.
    const std::optional<PrinterChoice>& choice = LastPrinterChoice();
    if (choice && (choice->format != QPrinter::NativeFormat || !QPrinterInfo::printerInfo(choice->printerName).isNull())) {
        printer_.setOutputFormat(choice->format);
        if (choice->format == QPrinter::NativeFormat)
            printer_.setPrinterName(choice->printerName);
        printer_.setOutputFileName(choice->outputFileName);
        printer_.setPageLayout(choice->layout);
    }
    // The sheet is wider than portrait A4: every preview starts in landscape, the first one too.
    printer_.setPageOrientation(QPageLayout::Landscape);
}

void PreviewHost::ForgetPrinterChoice()
{
    LastPrinterChoice().reset();
}

PreviewHost::~PreviewHost()
{
    RestoreOwner();
}

bool PreviewHost::Start()
{
    if (!render_ || !printer_.isValid())
        return false;
    printer_.setDocName(windowTitle().left(31));
    previewJob_ = NextJobNumber();

    preview_ = new QPrintPreviewWidget(&printer_, this);
    preview_->setObjectName(QStringLiteral("previewView"));
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &PreviewHost::RenderPreview);
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &PreviewHost::UpdateActions);
    setCentralWidget(preview_);

    auto* bar = addToolBar(QStringLiteral("Preview"));
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* print = bar->addAction(FixedTexts::PreviewPrint(), this, &PreviewHost::Print);
    print->setObjectName(QStringLiteral("previewPrint"));
    nextPage_ = bar->addAction(FixedTexts::PreviewNextPage(), preview_,
                               [this] { preview_->setCurrentPage(preview_->currentPage() + 1); });
    nextPage_->setObjectName(QStringLiteral("previewNextPage"));
    prevPage_ = bar->addAction(FixedTexts::PreviewPrevPage(), preview_,
                               [this] { preview_->setCurrentPage(preview_->currentPage() - 1); });
    prevPage_->setObjectName(QStringLiteral("previewPrevPage"));
    pageMode_ = bar->addAction(FixedTexts::PreviewTwoPage(), this, &PreviewHost::ToggleViewMode);
    pageMode_->setObjectName(QStringLiteral("previewPageMode"));
    QAction* zoomIn = bar->addAction(FixedTexts::PreviewZoomIn(), preview_, [this] { preview_->zoomIn(); });
    zoomIn->setObjectName(QStringLiteral("previewZoomIn"));
    QAction* zoomOut = bar->addAction(FixedTexts::PreviewZoomOut(), preview_, [this] { preview_->zoomOut(); });
    zoomOut->setObjectName(QStringLiteral("previewZoomOut"));
    QAction* closeAction = bar->addAction(FixedTexts::PreviewClose(), this, &QWidget::close);
    closeAction->setObjectName(QStringLiteral("previewClose"));
    // The buttons show the captions whole, ellipsis and mnemonic included (Alt+P prints).
    for (QAction* action : bar->actions())
        action->setIconText(action->text());

    // Lay the page out once before the window shows, so that showing does not do it again.
    preview_->updatePreview();
    showMaximized();
    if (owner_)
        owner_->hide();
    UpdateActions();
    return true;
}

void PreviewHost::RenderPreview(QPrinter* printer)
{
    QPainter painter(printer);
    const PrintPageInfo info{printer, true, 1, previewJob_};
    render_(&painter, &info, context_);
}

QString PreviewHost::DefaultPdfFileName() const
{
    QString name = windowTitle();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir(QDir::homePath()).filePath(name + QStringLiteral(".pdf"));
}

void PreviewHost::Print()
{
    // Printing to a PDF file must stay possible on a machine without printers: offer a file name
    // the dialog can take as it is.
    if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty())
        printer_.setOutputFileName(DefaultPdfFileName());
    if (ChoosePrinter()) {
        LastPrinterChoice() = PrinterChoice{printer_.outputFormat(), printer_.printerName(),
                                            printer_.outputFileName(), printer_.pageLayout()};
        const PrintPageInfo info{&printer_, false, 1, NextJobNumber()};
        // Asked before the job starts: a page that cannot be drawn (the callback has said why) must
        // not come out as a blank sheet or replace an existing file with an empty document.
        const bool drawable = render_(nullptr, &info, context_);
        QPainter painter;
        if (drawable && painter.begin(&printer_)) {
            render_(&painter, &info, context_);
            painter.end();
        } else if (drawable) {
            // A printer or file that cannot be opened must not pass for a printed sheet.
            OperatorMessage::Show(this, FixedTexts::PrintJobNotStarted(), OperatorMessage::Icon::Warning);
        }
    }
    close();
}

bool PreviewHost::ChoosePrinter()
{
#ifdef _WIN32
    // Windows' own print dialog takes the system's printers only (a PDF there is "Microsoft Print to
    // PDF"): a PDF file chosen before, or set by the caller, is named in a file dialog instead.
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        QFileDialog files(this, windowTitle(), printer_.outputFileName(), QStringLiteral("PDF (*.pdf)"));
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setDefaultSuffix(QStringLiteral("pdf"));
        files.selectFile(printer_.outputFileName());
        if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
            return false;
        printer_.setOutputFileName(files.selectedFiles().constFirst());
        return true;
    }
#endif
    QPrintDialog dialog(&printer_, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setMinMax(1, 1);
    return dialog.exec() == QDialog::Accepted;
}

void PreviewHost::closeEvent(QCloseEvent* event)
{
    // The close box, Alt+F4 and the Close button all end the whole preview.
    RestoreOwner();
    event->accept();
}

void PreviewHost::RestoreOwner()
{
    if (ownerRestored_)
        return;
    ownerRestored_ = true;
    if (!owner_)
        return;
    owner_->show();
    owner_->raise();
    owner_->activateWindow();
}

void PreviewHost::UpdateActions()
{
    if (!preview_)
        return;
    const int page = preview_->currentPage();
    nextPage_->setEnabled(page < preview_->pageCount());
    prevPage_->setEnabled(page > 1);
}

void PreviewHost::ToggleViewMode()
{
    // The button offers the other mode.
    if (preview_->viewMode() == QPrintPreviewWidget::SinglePageView) {
        preview_->setViewMode(QPrintPreviewWidget::FacingPagesView);
        pageMode_->setText(FixedTexts::PreviewOnePage());
    } else {
        preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
        pageMode_->setText(FixedTexts::PreviewTwoPage());
    }
    pageMode_->setIconText(pageMode_->text());
}
