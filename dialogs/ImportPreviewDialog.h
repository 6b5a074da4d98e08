#pragma once

#include "commodity/CommodityCsv.h"

#include <QDialog>

#include <memory>
#include <string>

class QPushButton;

namespace Ui {
class ImportPreviewDialog;
}

// What a CSV import would do, before it does it: every row read, each with its problem, as it would
// be kept. Accepting replaces the table with Chosen(); rows with a problem are left out only once the
// operator has agreed to it. Where the bytes read as UTF-8 and as GBK alike, the operator picks the
// reading; the likelier one comes first.
class ImportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // `import` is Parse(bytes) without a problem of the file.
    ImportPreviewDialog(std::string bytes, CommodityCsv::Import import, const QString& fileName,
                        QWidget* parent = nullptr);
    ~ImportPreviewDialog() override;

    // The reading the operator accepted.
    const CommodityCsv::Import& Chosen() const { return import_; }

    // Why a file cannot be imported at all, in the interface's language.
    static QString FileProblemText(const CommodityCsv::Import& import);

private:
    // The row's problem in the interface's language; empty for a good row.
    static QString ProblemText(const CommodityCsv::Row& row);
    void ShowImport();
    void OnEncodingChosen(int index);
    void UpdateImportButton();

    std::unique_ptr<Ui::ImportPreviewDialog> ui_;
    std::string bytes_;
    CommodityCsv::Import import_;
    QString fileName_;
    QPushButton* importButton_ = nullptr;
    int problems_ = 0;
    int good_ = 0;
};
