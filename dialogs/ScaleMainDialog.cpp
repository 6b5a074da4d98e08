#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "app/AppPaths.h"
#include "app/SettingsProfile.h"
#include "app/Skin.h"
#include "commodity/CommodityFile.h"
#include "commodity/CommodityUpload.h"
#include "commodity/UploadRunner.h"
#include "controls/ControlId.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "controls/StatusLamp.h"
#include "controls/TextFieldGuard.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/EnableRule.h"
#include "dialogs/MoreSettingsDialog.h"
#include "dialogs/ParameterDialog.h"
#include "dialogs/SettingsReport.h"
#include "link/ParameterDump.h"
#include "print/KeyboardSheetPrinting.h"
#include "sim/VirtualScale.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cerrno>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr const char* kSystem = "System";

int ReadSetting(const char* key, int fallback)
{
    return Profile::ReadInt(AppPaths::SettingsPath(), kSystem, key, fallback);
}

// Selects entry `index`; an index outside the list selects nothing.
void SelectEntry(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

std::string TextOf(const QComboBox* combo)
{
    return combo->currentText().toStdString();
}

} // namespace

ScaleMainDialog::ScaleMainDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ScaleMainDialog>())
    , reader_(port_, series_, activeReturn_,
              [] { return ReadSetting("Sleep", 100); },
              ReaderCallbacks())
{
    ui_->setupUi(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (const int id = ControlId::Of(child))
            controls_.insert(id, child);
    }

    // The About entry: the window has no system menu here, so it sits in the dialog's context menu
    // and, without its mnemonic (which "Automatic reading" uses), on a small button.
    QString about = tr("About VELK(&A)...");
    about.remove(QStringLiteral("(&A)"));
    about.remove(QLatin1Char('&'));
    ui_->aboutButton->setText(about);
    ui_->aboutButton->setIcon(QIcon(QStringLiteral(":/scale.png")));

    setWindowIcon(QIcon(QStringLiteral(":/scale.png")));

    // The lamp paints itself; the skin must not cover it. It shows only while reading runs.
    Skin::SetNoSkinWidget(ui_->lamp);
    QSizePolicy keepSpace = ui_->lamp->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    ui_->lamp->setSizePolicy(keepSpace);
    ui_->lamp->hide();

    FillPortList();

    EditableListCtrl* list = ui_->commodityList;
    list->SetTable(&table_);
    list->SetLockFirstRow(false);
    // Wide enough for all its columns, so the window never opens with the prices cut off.
    const int rowHeader = list->verticalHeader()->isHidden() ? 0 : list->verticalHeader()->sizeHint().width();
    list->setMinimumWidth(list->horizontalHeader()->length() + rowHeader
                          + list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth());

    SelectFromSettings();
    ui_->corpEdit->setText(FromGbk(Profile::ReadText(AppPaths::SettingsPath(), kSystem, "Corp", "")));
    // The name goes to the scale as one line and back into the settings file as one key.
    TextFieldGuard::Install(ui_->corpEdit);

    ConnectControls();
    OnSeriesChanged();
}

ScaleMainDialog::~ScaleMainDialog()
{
    reader_.Stop();
    // A dialog destroyed without being ended still keeps what the operator set.
    if (!finished_) {
        finished_ = true;
        SaveTable(series_, false);
        SaveSettings();
    }
}

WeightReader::Callbacks ScaleMainDialog::ReaderCallbacks()
{
    // Everything the reader reports is carried out on the window's thread, later: the reader never
    // waits for the window, and events still queued when the window goes are dropped with it.
    WeightReader::Callbacks callbacks;
    callbacks.showField = [this](int fieldId, const std::string& text) {
        PostReaderEvent([this, fieldId, text] { ShowReading(fieldId, text); });
    };
    callbacks.setStable = [this](int stable) { PostReaderEvent([this, stable] { ui_->lamp->SetState(stable); }); };
    callbacks.showLamp = [this](bool visible) { PostReaderEvent([this, visible] { ShowLamp(visible); }); };
    callbacks.finished = [this] { PostReaderEvent([this] { OnReaderFinished(); }); };
    return callbacks;
}

void ScaleMainDialog::PostReaderEvent(std::function<void()> event)
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(readerEventsMutex_);
        wake = readerEvents_.empty();
        readerEvents_.push_back(std::move(event));
    }
    // One wake-up drains everything queued until it runs.
    if (wake)
        QMetaObject::invokeMethod(this, "RunReaderEvents", Qt::QueuedConnection);
}

void ScaleMainDialog::RunReaderEvents()
{
    std::vector<std::function<void()>> events;
    {
        std::lock_guard<std::mutex> lock(readerEventsMutex_);
        events.swap(readerEvents_);
    }
    for (const auto& event : events)
        event();
}

QWidget* ScaleMainDialog::Control(int id) const
{
    return controls_.value(id, nullptr);
}

void ScaleMainDialog::FillPortList()
{
    std::vector<std::string> ports;
    SerialLink::ListSerialPorts(ports);
    for (const std::string& listed : ports) {
        const std::string offered = SerialLink::OfferedPortName(listed);
        ui_->portCombo->addItem(QString::fromLocal8Bit(offered.c_str()), QByteArray::fromStdString(offered));
    }
    // A scale of our own for trying the tool without hardware; "[System] VirtualScale=0" hides it.
    if (ReadSetting("VirtualScale", 1) != 0) {
        demoIndex_ = ui_->portCombo->count();
        ui_->portCombo->addItem(tr("Virtual scale (demo)"));
    }
}

void ScaleMainDialog::SelectFromSettings()
{
    // "SelectVirtualScale=1" (the demo's first start) chooses the virtual scale once; the stored
    // entry counts again from the next start.
    const bool virtualFirst = demoIndex_ >= 0 && ReadSetting("SelectVirtualScale", 0) != 0;
    SelectEntry(ui_->portCombo, virtualFirst ? demoIndex_ : ReadSetting("Port", 0));
    SelectEntry(ui_->baudCombo, ReadSetting("Baudrate", 2));
    SelectEntry(ui_->modelCombo, ReadSetting("Type", 0));
    SelectEntry(ui_->newBaudCombo, ReadSetting("Baudrate2", 2));
    SelectEntry(ui_->postbackCombo, ReadSetting("BackDataRate", 0));
}

void ScaleMainDialog::ConnectControls()
{
    connect(ui_->openButton, &QPushButton::clicked, this, &ScaleMainDialog::OnOpenClose);
    connect(ui_->modelCombo, &QComboBox::currentIndexChanged, this, &ScaleMainDialog::OnSeriesChanged);
    connect(ui_->companyButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSetupCompanyName);
    connect(ui_->uploadButton, &QPushButton::clicked, this, &ScaleMainDialog::OnUploadCommodity);
    connect(ui_->tareButton, &QPushButton::clicked, this, &ScaleMainDialog::OnTare);
    connect(ui_->zeroButton, &QPushButton::clicked, this, &ScaleMainDialog::OnZero);
    connect(ui_->setBaudButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSetBaud);
    connect(ui_->postbackButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSetPostback);
    connect(ui_->autoReadCheck, &QCheckBox::clicked, this, &ScaleMainDialog::OnAutomaticReading);
    connect(ui_->activeReturnCheck, &QCheckBox::toggled, this, [this](bool checked) { activeReturn_ = checked; });
    connect(ui_->moreButton, &QPushButton::clicked, this, &ScaleMainDialog::OnMore);
    connect(ui_->readParamButton, &QPushButton::clicked, this, &ScaleMainDialog::OnReadParameter);
    connect(ui_->printA15Button, &QPushButton::clicked, this,
            [this] { FinishCellEdit(); ShowKeyboardSheetPreview(this, table_, 0); });
    connect(ui_->printA16Button, &QPushButton::clicked, this,
            [this] { FinishCellEdit(); ShowKeyboardSheetPreview(this, table_, 1); });
    connect(ui_->printSetupButton, &QPushButton::clicked, this, [this] { RunPrintFontSetup(this); });
    connect(ui_->aboutButton, &QPushButton::clicked, this, &ScaleMainDialog::ShowAbout);
    connect(ui_->escButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ScaleMainDialog::ApplyEnableRule()
{
    const EnableRule::Outcome outcome =
        EnableRule::Evaluate(port_.IsOpen(), ui_->modelCombo->currentIndex(), ui_->autoReadCheck->isChecked());
    for (const EnableRule::ControlState& state : outcome.controls) {
        QWidget* control = Control(state.id);
        if (!control)
            continue;
        if (state.id == 1022 && outcome.uncheckActiveReturn)
            ui_->activeReturnCheck->setChecked(false);
        control->setEnabled(state.enabled);
    }
}

void ScaleMainDialog::OnSeriesChanged()
{
    // The Model list can change under an open cell editor (a mouse wheel takes no focus): what was
    // typed belongs to the list being left, not to the one about to be loaded.
    FinishCellEdit();
    ApplyEnableRule();
    if (series_ != SeriesNone && !SaveTable(series_, true)) {
        // Cancelled: the series stays as it was, with the edits in the list.
        const QSignalBlocker keep(ui_->modelCombo);
        ui_->modelCombo->setCurrentIndex(series_);
        ApplyEnableRule();
        return;
    }
    series_ = ui_->modelCombo->currentIndex();
    if (reader_.IsRunning())
        ShowLamp(true);
    LoadTable();
    ui_->commodityList->Refresh();
    if (series_ == SeriesZud) {
        ui_->caption1->setText(tr("Gross"));
        ui_->caption2->setText(tr("TARE"));
        ui_->caption3->setText(tr("Net"));
    } else {
        ui_->caption1->setText(tr("Net"));
        ui_->caption2->setText(tr("Price"));
        ui_->caption3->setText(tr("Total"));
    }
}

void ScaleMainDialog::OnOpenClose()
{
    if (port_.IsOpen())
        ClosePort();
    else
        OpenPort();
}

void ScaleMainDialog::OpenPort()
{
    const int entry = ui_->portCombo->currentIndex();
    const int baud = std::atoi(TextOf(ui_->baudCombo).c_str());
    QString reason;
    bool opened = false;
    if (entry >= 0 && entry == demoIndex_) {
        demoScale_ = std::make_unique<VirtualScale>();
        if (demoScale_->Start())
            opened = SerialLink::OpenSerialPort(demoScale_->PortPath(), port_, baud) == 1;
        else
            reason = tr("The virtual scale could not be started.");
        if (!opened)
            demoScale_.reset();
    } else {
        const QByteArray listed = ui_->portCombo->currentData().toByteArray();
        const std::string name = !listed.isEmpty() ? listed.toStdString() : TextOf(ui_->portCombo);
        errno = 0;
        opened = SerialLink::OpenSerialPort(name, port_, baud) == 1;
        const int error = errno;
        if (!opened) {
            if (name.empty())
                reason = tr("No port is selected.");
            else if (error == EACCES || error == EPERM)
                reason = tr("Access was refused: the user is not in the \"dialout\" group.");
            else if (error == EBUSY || error == EAGAIN)
                reason = tr("The port is in use by another program.");
            else if (error == ENOENT || error == ENODEV || error == ENXIO)
                reason = tr("The port is not there (any more).");
        }
    }
    if (!opened) {
        QString text = tr("Open port fail");
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        OperatorMessage::Show(this, text, OperatorMessage::Icon::Error);
        return;
    }
    ui_->openButton->setText(tr("Cl&ose port"));
    ApplyEnableRule();
}

void ScaleMainDialog::ClosePort()
{
    if (ui_->autoReadCheck->isChecked()) {
        ui_->autoReadCheck->setChecked(false);
        OnAutomaticReading(false);
    }
    // The reader must be gone before its port is.
    reader_.Stop();
    port_.Close();
    demoScale_.reset();
    ui_->openButton->setText(tr("&Open port"));
    ApplyEnableRule();
}

void ScaleMainDialog::OnAutomaticReading(bool checked)
{
    if (checked) {
        ui_->readParamButton->setEnabled(false);
        reader_.Start();
    } else {
        reader_.RequestStop();
    }
}

void ScaleMainDialog::OnReaderFinished()
{
    // A reader started again since this one ended owns the controls now.
    if (reader_.IsRunning())
        return;
    ui_->autoReadCheck->setChecked(false);
    ui_->lamp->hide();
    ui_->readParamButton->setEnabled(port_.IsOpen());
}

void ScaleMainDialog::ShowLamp(bool visible)
{
    // Only the RIVAV series reports stability; the lamp shows while its reports are being read.
    ui_->lamp->setVisible(visible && series_ == SeriesRivav && reader_.IsRunning());
}

void ScaleMainDialog::ShowReading(int fieldId, const std::string& text)
{
    if (auto* field = qobject_cast<QLineEdit*>(Control(fieldId)))
        field->setText(FromGbk(text));
}

void ScaleMainDialog::Send(const Bytes& bytes)
{
    if (!bytes.empty())
        SerialLink::WriteBytes(port_, bytes.data(), bytes.size());
}

void ScaleMainDialog::OnTare()
{
    Send(ScaleCommandSet::Tare(series_));
}

void ScaleMainDialog::OnZero()
{
    Send(ScaleCommandSet::Zero(series_));
}

void ScaleMainDialog::OnSetBaud()
{
    // Without a chosen rate there is nothing to tell the scale.
    if (ui_->newBaudCombo->currentIndex() < 0)
        return;
    Send(ScaleCommandSet::SetBaud(TextOf(ui_->newBaudCombo)));
}

void ScaleMainDialog::OnSetPostback()
{
    const int rate = ui_->postbackCombo->currentIndex();
    if (rate < 0)
        return;
    Send(ScaleCommandSet::SetPostbackFrequency(rate));
}

void ScaleMainDialog::OnSetupCompanyName()
{
    FinishCellEdit();
    if (!port_.IsOpen())
        return;
    Send(CompanyNameCommand(ToGbk(ui_->corpEdit->text())));
}

void ScaleMainDialog::OnUploadCommodity()
{
    // Started by its shortcut, the button leaves the focus in an open cell, whose last key is not
    // in the table yet.
    FinishCellEdit();
    const int series = ui_->modelCombo->currentIndex();
    if (series == SeriesRivav || !port_.IsOpen())
        return;
    // A poll written between two lines would land inside the block: reading pauses meanwhile.
    const bool wasReading = reader_.IsRunning();
    reader_.Stop();
    SendWithProgress(this, port_, UploadBlock(table_, series));
    if (wasReading && port_.IsOpen()) {
        ui_->autoReadCheck->setChecked(true);
        OnAutomaticReading(true);
    }
}

void ScaleMainDialog::OnMore()
{
    // The settings dialogs talk to the scale on this port; the reader must not compete. The box
    // stays checked until the reader reports its end.
    reader_.Stop();
    MoreSettingsDialog more(port_, this);
    more.exec();
}

void ScaleMainDialog::OnReadParameter()
{
    if (!port_.IsOpen() || reader_.IsRunning())
        return;
    const QString question = QString::fromUtf8(
        "将会自动禁止主动回传重量,如果需要请读取参数后重新设置回传频率, 是否继续?");
    if (OperatorMessage::Show(this, question, OperatorMessage::Icon::Question,
                              QMessageBox::Ok | QMessageBox::Cancel, QString::fromUtf8("询问"))
        != QMessageBox::Ok)
        return;

    // The exchange takes up to about a second and a half: it runs beside the window, which keeps
    // painting but takes no input until the dump is in.
    std::string dump;
    QEventLoop waiting;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::thread exchange([this, &dump, &waiting] {
        dump = ReadParameterDump(port_);
        QMetaObject::invokeMethod(&waiting, "quit", Qt::QueuedConnection);
    });
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    exchange.join();
    QApplication::restoreOverrideCursor();
    // The window may have been closed meanwhile; then there is nobody to show the dump to.
    if (finished_)
        return;

    ParameterDialog parameters(dump, this);
    parameters.exec();
}

void ScaleMainDialog::ShowAbout()
{
    AboutDialog about(this);
    about.exec();
}

void ScaleMainDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter never ends the dialog or presses a button; only Esc, the ESC button and the close box do.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    // Escape that ended a cell edit is passed on by the editor; it must not end the whole program
    // as well. Escape pressed in the list with no cell open still does.
    if (event->key() == Qt::Key_Escape && ui_->commodityList->PassingOnEditorKey()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ScaleMainDialog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QIcon(QStringLiteral(":/scale.png")), tr("About VELK(&A)..."), this, &ScaleMainDialog::ShowAbout);
    menu.exec(event->globalPos());
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

bool ScaleMainDialog::SaveTable(int series, bool mayCancel)
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

void ScaleMainDialog::SaveSettings()
{
    const std::string& path = AppPaths::SettingsPath();
    bool written = Profile::WriteInt(path, kSystem, "Port", ui_->portCombo->currentIndex());
    if (ReadSetting("SelectVirtualScale", 0) != 0)
        written = Profile::WriteInt(path, kSystem, "SelectVirtualScale", 0) && written;
    written = Profile::WriteInt(path, kSystem, "Baudrate", ui_->baudCombo->currentIndex()) && written;
    written = Profile::WriteInt(path, kSystem, "Type", ui_->modelCombo->currentIndex()) && written;
    written = Profile::WriteInt(path, kSystem, "Baudrate2", ui_->newBaudCombo->currentIndex()) && written;
    written = Profile::WriteText(path, kSystem, "Corp", ToGbk(ui_->corpEdit->text())) && written;
    ReportSettingsWrites(this, written);
}

void ScaleMainDialog::done(int result)
{
    if (!finished_) {
        // Closing by the close box leaves an open editor as it is; its last key is not in the cell
        // yet. Cancel keeps the dialog open.
        if (!SaveTable(series_, true))
            return;
        finished_ = true;
        reader_.Stop();
        SaveSettings();
    }
    QDialog::done(result);
}
