#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>

class QAction;
class QPainter;
class QPrintPreviewWidget;

// What the render callback learns about the page it draws.
struct PrintPageInfo {
    QPrinter* printer = nullptr;  // device metrics: printable area (width/height) and resolution
    bool preview = false;         // drawn for the preview on the screen, not for the print job
    int page = 1;                 // the documents hosted here have one page
    // Number of the preview or print job this page belongs to (from 1); lets a client report a
    // problem once per job rather than on every drawing of the same page.
    quint64 job = 0;
};

// Draws one page on `painter` in printer device units, origin at the top-left of the printable area.
// Returns false when the page cannot be drawn on this device (the callback tells the operator why).
// Before a print job starts it is called once with a null painter: it then draws nothing and only
// answers, so that a page that cannot be drawn abandons the job.
using PrintRenderProc = bool (*)(QPainter* painter, const PrintPageInfo* info, void* context);

// A print preview window hosted from a dialog application. It is created on the heap by a print
// request, stands in for the owner (which is hidden while it is open) and deletes itself when it
// closes, bringing the owner back. It knows nothing of what it shows: a client hands it a render
// callback and a context pointer, which must stay valid until the window is destroyed.
class PreviewHost : public QMainWindow {
    Q_OBJECT

public:
    // Opens the preview, maximised, and hides `owner`. When the preview cannot be started the
    // operator is told "命令失败。", the owner is back and nullptr is returned.
    static PreviewHost* Open(PrintRenderProc render, QWidget* owner, void* context);

    // The preview's title for an owner with the given caption.
    static QString TitleFor(const QString& ownerTitle);

    ~PreviewHost() override;

    QPrinter* Printer() { return &printer_; }

    // The tool bar's Print button: print dialog, one page through the callback, then close.
    void Print();
    // Where a PDF goes when no file was chosen yet: the title in the home directory.
    QString DefaultPdfFileName() const;

    // The printer, paper and output file last chosen in the print dialog start every later preview
    // until the program ends; this forgets them (for tests).
    static void ForgetPrinterChoice();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PreviewHost(PrintRenderProc render, QWidget* owner, void* context);
    bool Start();
    // The print dialog (or on Windows, for a PDF file, a file dialog); true when accepted.
    bool ChoosePrinter();
    void RenderPreview(QPrinter* printer);
    void RestoreOwner();
    void UpdateActions();
    void ToggleViewMode();

    PrintRenderProc render_;
    QPointer<QWidget> owner_;
    void* context_;
    QPrinter printer_;
    QPrintPreviewWidget* preview_ = nullptr;
    QAction* nextPage_ = nullptr;
    QAction* prevPage_ = nullptr;
    QAction* pageMode_ = nullptr;
    quint64 previewJob_ = 0;
    bool ownerRestored_ = false;
};
