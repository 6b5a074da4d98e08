#pragma once

#include "commodity/CommodityCsv.h"

#include <QDialog>

#include <memory>

class QPushButton;

namespace Ui {
class ImportPreviewDialog;
}

// What a CSV import would do, before it does it: every row read, each with its problem. Accepting
// replaces the table; rows with a problem are left out only once the operator has agreed to it.
class ImportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ImportPreviewDialog(const CommodityCsv::Import& import, const QString& fileName, QWidget* parent = nullptr);
    ~ImportPreviewDialog() override;

private:
    // The row's problem in the interface's language; empty for a good row.
    static QString ProblemText(const CommodityCsv::Row& row);
    void UpdateImportButton();

    std::unique_ptr<Ui::ImportPreviewDialog> ui_;
    QPushButton* importButton_ = nullptr;
    int problems_ = 0;
    int good_ = 0;
};
