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
#include "settings/DurableFile.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>

#include <cerrno>
#include <cstring>
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

    // One step a line, and a last one for the scale to take the last lines off the wire.
    uploadStep_ = tr("Uploading commodities...");
    auto* progress = new QProgressDialog(uploadStep_, tr("Cancel"), 0, lines + 1, this);
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

void ScaleMainDialog::OnUploadDraining()
{
    uploadStep_ = tr("Waiting for the scale to take the last lines...");
    if (uploadProgress_)
        uploadProgress_->setLabelText(uploadStep_);
}

void ScaleMainDialog::OnLineHeld(bool held)
{
    if (!uploadProgress_)
        return;
    // A scale writing its memory holds the line for seconds; the operator may still cancel.
    uploadProgress_->setLabelText(held ? tr("The scale is holding the line (it may be busy saving); waiting for "
                                            "it for up to 10 seconds...")
                                       : uploadStep_);
    if (held)
        uploadProgress_->show();
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
    // One byte past the limit is enough to know the file is too large.
    const QByteArray read = file.read(qint64(CommodityCsv::kMaxFileBytes) + 1);
    std::string bytes(read.constData(), std::size_t(read.size()));
    CommodityCsv::Import import = CommodityCsv::Parse(bytes);
    if (import.fileProblem != CommodityCsv::FileProblem::None) {
        OperatorMessage::Show(this,
                              tr("%1 cannot be imported.").arg(path) + QLatin1Char('\n')
                                  + ImportPreviewDialog::FileProblemText(import),
                              OperatorMessage::Icon::Warning);
        return;
    }
    ImportPreviewDialog preview(std::move(bytes), std::move(import), QFileInfo(path).fileName(), this);
    if (preview.exec() != QDialog::Accepted)
        return;
    CommodityCsv::Apply(preview.Chosen(), table_);
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
    errno = 0;
    const bool written = DurableFile::Replace(QFile::encodeName(path).toStdString(), csv);
    if (!written)
        OperatorMessage::Show(this,
                              tr("%1 cannot be written: %2")
                                  .arg(path, QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO))),
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
