// The main dialog's commodity list: loading and saving it with the series, CSV import and export,
// the company name and the upload to the scale.
#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "commodity/CommodityCsv.h"
#include "commodity/CommodityFile.h"
#include "commodity/CommodityUpload.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "dialogs/ImportPreviewDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>
#include <QSaveFile>

#include <vector>

void ScaleMainDialog::OnSetupCompanyName()
{
    FinishCellEdit();
    link_.Send(CompanyNameCommand(ToGbk(ui_->corpEdit->text())), tr("Company name"));
}

void ScaleMainDialog::OnUploadCommodity()
{
    // Started by its shortcut, the button leaves the focus in an open cell, whose last key is not
    // in the table yet.
    FinishCellEdit();
    const ScaleSeries series = SelectedSeries();
    if (series == ScaleSeries::Rivav || !link_.IsOpen() || link_.IsUploading())
        return;
    std::vector<Bytes> block = UploadBlock(table_, series);
    if (block.empty())
        return;
    const int lines = int(block.size());
    // The block is one exchange on the link's worker: no reading cycle or command can land inside
    // it. The button stays disabled until it has ended.
    link_.Upload(std::move(block));
    ApplyEnableRule();

    auto* progress = new QProgressDialog(tr("Uploading commodities..."), tr("Cancel"), 0, lines, this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setWindowTitle(tr("Upload"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    // A quick upload (a fast line) finishes before the window would show.
    progress->setMinimumDuration(400);
    connect(progress, &QProgressDialog::canceled, &link_, &PortLink::CancelUpload);
    uploadProgress_ = progress;
}

void ScaleMainDialog::OnUploadEnded()
{
    if (uploadProgress_) {
        uploadProgress_->hide();
        uploadProgress_->deleteLater();
    }
    ApplyEnableRule();
}

void ScaleMainDialog::OnImportCsv()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Import commodities"), QString(),
                                                      tr("CSV files (*.csv *.txt);;All files (*)"));
    if (!path.isEmpty())
        ImportCsvFile(path);
}

void ScaleMainDialog::OnExportCsv()
{
    const QString name = series_ == ScaleSeries::Zud ? QStringLiteral("ZUD.csv") : QStringLiteral("ZEV.csv");
    const QString path = QFileDialog::getSaveFileName(this, tr("Export commodities"), name, tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        ExportCsvFile(path);
}

void ScaleMainDialog::ImportCsvFile(const QString& path)
{
    if (series_ == ScaleSeries::Rivav || series_ == ScaleSeries::None)
        return;
    FinishCellEdit();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        OperatorMessage::Show(this, tr("%1 cannot be read: %2").arg(path, file.errorString()),
                              OperatorMessage::Icon::Warning);
        return;
    }
    const QByteArray bytes = file.readAll();
    const CommodityCsv::Import import = CommodityCsv::Parse(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (import.fileProblem != CommodityCsv::FileProblem::None) {
        const QString why = import.fileProblem == CommodityCsv::FileProblem::Utf16
            ? tr("UTF-16 text is not read; save the sheet as CSV (UTF-8 or GBK).")
            : tr("Its header row names no No. column.");
        OperatorMessage::Show(this, tr("%1 cannot be imported.").arg(path) + QLatin1Char('\n') + why,
                              OperatorMessage::Icon::Warning);
        return;
    }
    ImportPreviewDialog preview(import, QFileInfo(path).fileName(), this);
    if (preview.exec() != QDialog::Accepted)
        return;
    CommodityCsv::Apply(import, table_);
    ui_->commodityList->Refresh();
}

bool ScaleMainDialog::ExportCsvFile(const QString& path)
{
    FinishCellEdit();
    // The captions as the list shows them, in the interface's language.
    std::array<std::string, 4> header;
    for (int i = 0; i < 4; ++i)
        header[std::size_t(i)] = ui_->commodityList->model()
                                     ->headerData(CommodityTable::Number + i, Qt::Horizontal)
                                     .toString()
                                     .toStdString();
    const std::string csv = CommodityCsv::Format(table_, header);
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(csv.data(), qint64(csv.size())) == qint64(csv.size())
        && file.commit();
    if (!written)
        OperatorMessage::Show(this, tr("%1 cannot be written: %2").arg(path, file.errorString()),
                              OperatorMessage::Icon::Warning);
    return written;
}

void ScaleMainDialog::LoadTable()
{
    unreadableFile_ = LoadCommodityFile(table_, series_) == CommodityLoad::Unreadable;
    loadedTable_ = table_;
    if (unreadableFile_) {
        const QString file = QString::fromLocal8Bit(CommodityFilePath(series_).c_str());
        OperatorMessage::Show(this,
                              tr("The commodity list could not be read from %1. The file is kept as it is "
                                 "unless you change the list and agree to replace it.").arg(file),
                              OperatorMessage::Icon::Warning);
    }
}

bool ScaleMainDialog::SaveTable(ScaleSeries series, bool mayCancel)
{
    FinishCellEdit();
    const QString file = QString::fromLocal8Bit(CommodityFilePath(series).c_str());
    const bool changed = !(table_ == loadedTable_);
    const QMessageBox::StandardButtons cancel = mayCancel ? QMessageBox::Cancel : QMessageBox::NoButton;
    if (unreadableFile_) {
        if (!changed)
            return true;
        const auto answer = OperatorMessage::Show(
            this, tr("%1 could not be read when the list was loaded. Replace it with the list as it is now?").arg(file),
            OperatorMessage::Icon::Question, QMessageBox::Yes | QMessageBox::No | cancel);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer != QMessageBox::Yes)
            return true;
    }
    while (!SaveCommodityFile(table_, series)) {
        const QString failed = tr("The commodity list could not be saved to %1.").arg(file);
        if (!changed) {
            // Nothing the operator typed is lost: the file still holds what the list shows.
            OperatorMessage::Show(this, failed, OperatorMessage::Icon::Warning);
            return true;
        }
        const auto answer = OperatorMessage::Show(
            this, failed + QLatin1Char('\n') + tr("Retry, discard the changes, or cancel and keep editing?"),
            OperatorMessage::Icon::Warning, QMessageBox::Retry | QMessageBox::Discard | cancel);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer != QMessageBox::Retry)
            return true;
    }
    return true;
}

void ScaleMainDialog::FinishCellEdit()
{
    if (ui_->commodityList->IsEditing())
        ui_->commodityList->EndCellEdit(true, true);
}
